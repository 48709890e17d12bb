<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>complexplot::ExplorerWindow</name>
    <message>
        <location filename="../explorer_window.cpp" line="158"/>
        <source>Complex functions: explorer</source>
        <translation>複素関数エクスプローラ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="172"/>
        <source>f(z) =</source>
        <translation>f(z) =</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="212"/>
        <source>grey range: automatic, one for both</source>
        <translation>濃淡: 自動・共通</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="212"/>
        <source>grey range: automatic, one for each</source>
        <translation>濃淡: 自動・個別</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="213"/>
        <source>grey range: fixed, one for both</source>
        <translation>濃淡: 指定・共通</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="213"/>
        <source>grey range: fixed, one for each</source>
        <translation>濃淡: 指定・個別</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="216"/>
        <source>Lock the range</source>
        <translation>今の濃淡のまま</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="217"/>
        <source>Keep the current greys while zooming and panning</source>
        <translation>拡大・移動の間も今の濃淡を保つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>Re low</source>
        <translation>実数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>Re high</source>
        <translation>実数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>Im low</source>
        <translation>虚数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>Im high</source>
        <translation>虚数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="236"/>
        <source>Draw the axes</source>
        <translation>座標軸を描く</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="297"/>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="298"/>
        <source>&amp;Save figure…</source>
        <translation>図を保存(&amp;S)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="299"/>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="300"/>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="302"/>
        <source>&amp;Copy the pixel&apos;s values</source>
        <translation>画素の値をコピー(&amp;C)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="312"/>
        <source>Edit the &amp;function</source>
        <translation>関数を編集(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="316"/>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="317"/>
        <source>&amp;Back</source>
        <translation>戻る(&amp;B)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="319"/>
        <source>&amp;Forward</source>
        <translation>進む(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="321"/>
        <source>&amp;Go to…</source>
        <translation>移動(&amp;G)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="322"/>
        <source>&amp;Start view (0)</source>
        <translation>最初の表示(&amp;S) (0)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="505"/>
        <source>the field “%1” is empty: a fixed range needs both ends of each map&apos;s</source>
        <translation>「%1」が空です: 指定の範囲には各図の両端が要ります</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="509"/>
        <source>the field “%1” is not a number</source>
        <translation>「%1」が数ではありません</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="514"/>
        <source>“%1” must be below “%2”</source>
        <translation>「%1」は「%2」より小さくしてください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="89"/>
        <location filename="../explorer_window.cpp" line="401"/>
        <location filename="../explorer_window.cpp" line="402"/>
        <source>column %1: %2</source>
        <translation>%1 文字目: %2</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="84"/>
        <source>give a finite real number, such as 2, -1.5 or pi/2</source>
        <translation>2、-1.5、pi/2 のような有限の実数を入力してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="310"/>
        <source>Copy the co&amp;mmand line</source>
        <translation>コマンドラインをコピー(&amp;M)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="334"/>
        <source>copied the selected text: %1</source>
        <translation>選んだ文字列をコピーしました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="370"/>
        <source>the function is too long: the line holds %1 characters; the last maps stay</source>
        <translation>関数が長すぎます: 入力欄に入るのは %1 文字までです。前の図はそのままです</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="387"/>
        <source>out of memory while reading the function; the last maps stay</source>
        <translation>関数を読む途中でメモリが足りなくなりました。前の図はそのままです</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="493"/>
        <source>drawing…</source>
        <translation>描画中…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="623"/>
        <source>drawing %1%</source>
        <translation>描画中 %1%</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="657"/>
        <source>z = %1 %2 %3i</source>
        <translation>z = %1 %2 %3i</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="663"/>
        <source>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</source>
        <translation>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="682"/>
        <location filename="../explorer_window.cpp" line="704"/>
        <source>zoomed in as far as double precision tells the pixels apart</source>
        <translation>倍精度で画素を区別できる限界まで拡大しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="686"/>
        <source>zoomed out as far as ±10¹⁵</source>
        <translation>±10¹⁵ まで縮小しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="695"/>
        <source>the view stays within ±10¹⁵</source>
        <translation>表示は ±10¹⁵ の内側に限られます</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="769"/>
        <source>maps of %1 x %2 pixels do not fit the screen: the window asked for is shown with the pixels that fit</source>
        <translation>%1 x %2 画素の図は画面に収まりません: 指定の範囲を収まる画素数で表示しています</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="801"/>
        <location filename="../explorer_window.cpp" line="815"/>
        <location filename="../explorer_window.cpp" line="825"/>
        <source>the maps are still being drawn</source>
        <translation>まだ描画中です</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="805"/>
        <location filename="../explorer_window.cpp" line="819"/>
        <source>copied: %1</source>
        <translation>コピーしました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="830"/>
        <location filename="../explorer_window.cpp" line="846"/>
        <source>Save the view as a figure</source>
        <translation>表示を図として保存</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="831"/>
        <source>PNG picture (*.png);;SVG drawing (*.svg);;PDF page (*.pdf)</source>
        <translation>PNG 画像 (*.png);;SVG 図 (*.svg);;PDF ページ (*.pdf)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="844"/>
        <source>saved %1</source>
        <translation>保存しました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="873"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="884"/>
        <source>X0 must be below X1, and Y0 below Y1</source>
        <translation>X0 は X1 より、Y0 は Y1 より小さくしてください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="889"/>
        <source>the view must stay within ±10¹⁵</source>
        <translation>表示は ±10¹⁵ の内側に限られます</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="894"/>
        <source>the view is finer than double precision tells the pixels apart: give bounds further apart</source>
        <translation>倍精度では画素を区別できないほど細かい表示です: 両端をもっと離してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="903"/>
        <source>Go to</source>
        <translation>移動</translation>
    </message>
</context>
<context>
    <name>complexplot::MapCanvas</name>
    <message>
        <location filename="../map_canvas.cpp" line="325"/>
        <source>no value: 1 point</source>
        <translation>値なし: 1 点</translation>
    </message>
    <message>
        <location filename="../map_canvas.cpp" line="326"/>
        <source>no value: %1 points</source>
        <translation>値なし: %1 点</translation>
    </message>
</context>
<context>
    <name>complexplot::MapRenderer</name>
    <message>
        <location filename="../map_renderer.cpp" line="152"/>
        <source>out of memory for maps of this size</source>
        <translation>この大きさの図にはメモリが足りません</translation>
    </message>
    <message>
        <location filename="../map_renderer.cpp" line="92"/>
        <location filename="../map_renderer.cpp" line="154"/>
        <source>cannot start a thread: %1</source>
        <translation>スレッドを開始できません: %1</translation>
    </message>
</context>
</TS>
