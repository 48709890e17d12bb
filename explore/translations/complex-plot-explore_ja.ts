<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>complexplot::ExplorerWindow</name>
    <message>
        <location filename="../explorer_window.cpp" line="82"/>
        <source>Complex functions: explorer</source>
        <translation>複素関数エクスプローラ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="92"/>
        <source>f(z) =</source>
        <translation>f(z) =</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="119"/>
        <source>grey range: automatic, one for both</source>
        <translation>濃淡の範囲: 自動、両方に一つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="119"/>
        <source>grey range: automatic, one for each</source>
        <translation>濃淡の範囲: 自動、それぞれに一つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="120"/>
        <source>grey range: fixed, one for both</source>
        <translation>濃淡の範囲: 固定、両方に一つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="120"/>
        <source>grey range: fixed, one for each</source>
        <translation>濃淡の範囲: 固定、それぞれに一つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="123"/>
        <source>Lock the range</source>
        <translation>範囲を固定</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="124"/>
        <source>Keep the current greys while zooming and panning</source>
        <translation>拡大・移動の間も今の濃淡を保つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="126"/>
        <source>Re low</source>
        <translation>実数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="126"/>
        <source>Re high</source>
        <translation>実数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="126"/>
        <source>Im low</source>
        <translation>虚数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="126"/>
        <source>Im high</source>
        <translation>虚数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="139"/>
        <source>Draw the axes</source>
        <translation>座標軸を描く</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="186"/>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="187"/>
        <source>&amp;Save figure…</source>
        <translation>図を保存(&amp;S)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="188"/>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="189"/>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="191"/>
        <source>&amp;Copy the pixel&apos;s values</source>
        <translation>画素の値をコピー(&amp;C)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="196"/>
        <source>Copy the &amp;command line</source>
        <translation>コマンドラインをコピー(&amp;C)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="198"/>
        <source>Edit the &amp;function</source>
        <translation>関数を編集(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="202"/>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="203"/>
        <source>&amp;Back</source>
        <translation>戻る(&amp;B)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="205"/>
        <source>&amp;Forward</source>
        <translation>進む(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="207"/>
        <source>&amp;Go to…</source>
        <translation>移動(&amp;G)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="208"/>
        <source>&amp;Start view (0)</source>
        <translation>最初の表示(&amp;S) (0)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="253"/>
        <location filename="../explorer_window.cpp" line="254"/>
        <source>column %1: %2</source>
        <translation>%1 文字目: %2</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="321"/>
        <source>drawing…</source>
        <translation>描画中…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="370"/>
        <source>give the range&apos;s ends as numbers, low below high</source>
        <translation>範囲の両端を数で、下限を上限より小さく入力してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="390"/>
        <source>drawing %1%</source>
        <translation>描画中 %1%</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="422"/>
        <source>z = %1 %2 %3i</source>
        <translation>z = %1 %2 %3i</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="428"/>
        <source>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</source>
        <translation>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="442"/>
        <location filename="../explorer_window.cpp" line="464"/>
        <source>zoomed in as far as double precision tells the pixels apart</source>
        <translation>倍精度で画素を区別できる限界まで拡大しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="446"/>
        <source>zoomed out as far as ±10¹⁵</source>
        <translation>±10¹⁵ まで縮小しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="455"/>
        <source>the view stays within ±10¹⁵</source>
        <translation>表示は ±10¹⁵ の内側に限られます</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="512"/>
        <location filename="../explorer_window.cpp" line="527"/>
        <location filename="../explorer_window.cpp" line="537"/>
        <source>the maps are still being drawn</source>
        <translation>まだ描画中です</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="516"/>
        <location filename="../explorer_window.cpp" line="531"/>
        <source>copied: %1</source>
        <translation>コピーしました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="521"/>
        <source>point at a map to copy its pixel</source>
        <translation>画素をコピーするには図の上を指してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="542"/>
        <location filename="../explorer_window.cpp" line="561"/>
        <source>Save the view as a figure</source>
        <translation>表示を図として保存</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="543"/>
        <source>PNG picture (*.png);;SVG drawing (*.svg);;PDF page (*.pdf)</source>
        <translation>PNG 画像 (*.png);;SVG 図 (*.svg);;PDF ページ (*.pdf)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="559"/>
        <source>saved %1</source>
        <translation>保存しました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="568"/>
        <source>Go to</source>
        <translation>移動</translation>
    </message>
</context>
<context>
    <name>complexplot::MapCanvas</name>
    <message>
        <location filename="../map_canvas.cpp" line="280"/>
        <source>no value: 1 point</source>
        <translation>値なし: 1 点</translation>
    </message>
    <message>
        <location filename="../map_canvas.cpp" line="281"/>
        <source>no value: %1 points</source>
        <translation>値なし: %1 点</translation>
    </message>
</context>
<context>
    <name>complexplot::MapRenderer</name>
    <message>
        <location filename="../map_renderer.cpp" line="121"/>
        <source>out of memory for maps of this size</source>
        <translation>この大きさの図にはメモリが足りません</translation>
    </message>
    <message>
        <location filename="../map_renderer.cpp" line="123"/>
        <source>cannot start a thread: %1</source>
        <translation>スレッドを開始できません: %1</translation>
    </message>
</context>
</TS>
