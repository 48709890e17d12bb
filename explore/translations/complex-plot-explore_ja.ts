<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>ExpressionMessage</name>
    <message>
        <location filename="../expression_message.cpp" line="13"/>
        <source>expected an operator or the end, not %1</source>
        <translation>演算子か式の終わりが必要ですが、%1があります</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="16"/>
        <source>expected a number, a name or &apos;(&apos;, not %1</source>
        <translation>数・名前・「(」のどれかが必要ですが、%1があります</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="19"/>
        <source>expected an operator before %1: for a product write %2</source>
        <translation>%1 の前に演算子がありません。掛け算なら %2 と書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="22"/>
        <source>expected &apos;)&apos; to close the &apos;(&apos; at column %1, not %2</source>
        <translation>%1 文字目の「(」を閉じる「)」が必要ですが、%2があります</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="25"/>
        <source>expected &apos;(&apos; after %1, not %2</source>
        <translation>%1 の後には「(」が必要ですが、%2があります</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="28"/>
        <source>expected an operator after the exponent %1, before %2: an exponent that is a product goes in parentheses, as in %3</source>
        <translation>指数 %1 と %2 の間に演算子がありません。掛け算を指数にするときは %3 のように括弧で囲みます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="33"/>
        <source>unexpected control character</source>
        <translation>制御文字は使えません</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="36"/>
        <source>unexpected character %1</source>
        <translation>%1 は式に使えない文字です</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="38"/>
        <source>unexpected character &apos;|&apos;: for the modulus write %1</source>
        <translation>「|」は使えません。絶対値は %1 と書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="41"/>
        <source>unexpected &apos;*&apos;: a power is written with ^, as in %1</source>
        <translation>「**」は使えません。累乗は ^ を使い、%1 のように書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="44"/>
        <source>expected digits around &apos;.&apos;</source>
        <translation>「.」の前か後に数字が必要です</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="46"/>
        <source>the number %1 is out of the range of double precision</source>
        <translation>数 %1 は倍精度で表せる範囲を超えています</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="49"/>
        <source>the number %1 has no digits in its exponent: write them, as in %2</source>
        <translation>数 %1 の指数に数字がありません。%2 のように書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="53"/>
        <source>the number %1 is hexadecimal, which is not read here: write it in decimal</source>
        <translation>数 %1 は 16 進数です。ここでは 10 進数で書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="57"/>
        <source>the number %1 has more than one i: an imaginary number takes one, as in %2</source>
        <translation>数 %1 に i が二つ以上あります。虚数の i は一つで、%2 のように書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="61"/>
        <source>the number %1 has more than one decimal point</source>
        <translation>数 %1 に小数点が二つ以上あります</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="64"/>
        <source>the expression nests deeper than %1 levels</source>
        <translation>式の括弧などの入れ子が %1 段を超えています</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="67"/>
        <source>unknown name %1: names are lower case, write %2</source>
        <translation>%1 という名前はありません。名前は小文字で %2 と書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="70"/>
        <source>unknown name %1: for %2(z) write %3</source>
        <translation>%1 という名前はありません。%2(z) は %3 と書きます</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="73"/>
        <source>unknown name %1: the language has no NaN constant</source>
        <translation>%1 という名前はありません。NaN を表す定数はありません</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="76"/>
        <source>unknown name %1: the language has no infinity</source>
        <translation>%1 という名前はありません。無限大を表す定数はありません</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="79"/>
        <source>unknown name %1: did you mean %2? the known names are z, i, pi, e and the functions %3</source>
        <translation>%1 という名前はありません。%2 のことですか？ 使える名前は z、i、pi、e と関数 %3 です</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="84"/>
        <source>unknown name %1: the known names are z, i, pi, e and the functions %2</source>
        <translation>%1 という名前はありません。使える名前は z、i、pi、e と関数 %2 です</translation>
    </message>
    <message>
        <location filename="../expression_message.cpp" line="103"/>
        <source>the end</source>
        <translation>式の終わり</translation>
    </message>
</context>
<context>
    <name>complexplot::ExplorerWindow</name>
    <message>
        <location filename="../explorer_window.cpp" line="156"/>
        <source>Complex functions: explorer</source>
        <translation>複素関数エクスプローラ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="178"/>
        <source>f(z) =</source>
        <translation>f(z) =</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="218"/>
        <source>grey range: automatic, one for both</source>
        <translation>濃淡: 自動・共通</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="218"/>
        <source>grey range: automatic, one for each</source>
        <translation>濃淡: 自動・個別</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>grey range: fixed, one for both</source>
        <translation>濃淡: 指定・共通</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="219"/>
        <source>grey range: fixed, one for each</source>
        <translation>濃淡: 指定・個別</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="222"/>
        <source>Lock the range</source>
        <translation>今の濃淡のまま</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="223"/>
        <source>Keep the current greys while zooming and panning</source>
        <translation>拡大・移動の間も今の濃淡を保つ</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="225"/>
        <source>Re low</source>
        <translation>実数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="225"/>
        <source>Re high</source>
        <translation>実数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="225"/>
        <source>Im low</source>
        <translation>虚数部 下限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="225"/>
        <source>Im high</source>
        <translation>虚数部 上限</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="241"/>
        <source>Draw the axes</source>
        <translation>座標軸を描く</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="302"/>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="303"/>
        <source>&amp;Save figure…</source>
        <translation>図を保存(&amp;S)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="304"/>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="305"/>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="307"/>
        <source>&amp;Copy the pixel&apos;s values</source>
        <translation>画素の値をコピー(&amp;C)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="317"/>
        <source>Edit the &amp;function</source>
        <translation>関数を編集(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="321"/>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="322"/>
        <source>&amp;Back</source>
        <translation>戻る(&amp;B)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="324"/>
        <source>&amp;Forward</source>
        <translation>進む(&amp;F)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="326"/>
        <source>&amp;Go to…</source>
        <translation>移動(&amp;G)…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="327"/>
        <source>&amp;Start view (0)</source>
        <translation>最初の表示(&amp;S) (0)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="509"/>
        <source>the field “%1” is empty: a fixed range needs both ends of each map&apos;s</source>
        <translation>「%1」が空です: 指定の範囲には各図の両端が要ります</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="513"/>
        <source>the field “%1” is not a number</source>
        <translation>「%1」が数ではありません</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="518"/>
        <source>“%1” must be below “%2”</source>
        <translation>「%1」は「%2」より小さくしてください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="89"/>
        <location filename="../explorer_window.cpp" line="404"/>
        <source>column %1: %2</source>
        <translation>%1 文字目: %2</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="84"/>
        <source>give a finite real number, such as 2, -1.5 or pi/2</source>
        <translation>2、-1.5、pi/2 のような有限の実数を入力してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="315"/>
        <source>Copy the co&amp;mmand line</source>
        <translation>コマンドラインをコピー(&amp;M)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="339"/>
        <source>copied the selected text: %1</source>
        <translation>選んだ文字列をコピーしました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="375"/>
        <source>the function is too long: the line holds %1 characters; the last maps stay</source>
        <translation>関数が長すぎます: 入力欄に入るのは %1 文字までです。前の図はそのままです</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="392"/>
        <source>out of memory while reading the function; the last maps stay</source>
        <translation>関数を読む途中でメモリが足りなくなりました。前の図はそのままです</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="497"/>
        <source>drawing…</source>
        <translation>描画中…</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="627"/>
        <source>drawing %1%</source>
        <translation>描画中 %1%</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="661"/>
        <source>z = %1 %2 %3i</source>
        <translation>z = %1 %2 %3i</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="667"/>
        <source>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</source>
        <translation>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="686"/>
        <location filename="../explorer_window.cpp" line="708"/>
        <source>zoomed in as far as double precision tells the pixels apart</source>
        <translation>倍精度で画素を区別できる限界まで拡大しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="690"/>
        <source>zoomed out as far as ±10¹⁵</source>
        <translation>±10¹⁵ まで縮小しました</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="699"/>
        <source>the view stays within ±10¹⁵</source>
        <translation>表示は ±10¹⁵ の内側に限られます</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="773"/>
        <source>maps of %1 x %2 pixels do not fit the screen: the window asked for is shown with the pixels that fit</source>
        <translation>%1 x %2 画素の図は画面に収まりません: 指定の範囲を収まる画素数で表示しています</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="805"/>
        <location filename="../explorer_window.cpp" line="819"/>
        <location filename="../explorer_window.cpp" line="829"/>
        <source>the maps are still being drawn</source>
        <translation>まだ描画中です</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="809"/>
        <location filename="../explorer_window.cpp" line="823"/>
        <source>copied: %1</source>
        <translation>コピーしました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="834"/>
        <location filename="../explorer_window.cpp" line="850"/>
        <source>Save the view as a figure</source>
        <translation>表示を図として保存</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="835"/>
        <source>PNG picture (*.png);;SVG drawing (*.svg);;PDF page (*.pdf)</source>
        <translation>PNG 画像 (*.png);;SVG 図 (*.svg);;PDF ページ (*.pdf)</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="848"/>
        <source>saved %1</source>
        <translation>保存しました: %1</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="877"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="888"/>
        <source>X0 must be below X1, and Y0 below Y1</source>
        <translation>X0 は X1 より、Y0 は Y1 より小さくしてください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="893"/>
        <source>the view must stay within ±10¹⁵</source>
        <translation>表示は ±10¹⁵ の内側に限られます</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="898"/>
        <source>the view is finer than double precision tells the pixels apart: give bounds further apart</source>
        <translation>倍精度では画素を区別できないほど細かい表示です: 両端をもっと離してください</translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="907"/>
        <source>Go to</source>
        <translation>移動</translation>
    </message>
    <message>
        <source>Re f and Im f</source>
        <translation>実部と虚部</translation>
    </message>
    <message>
        <source>|f| and arg f</source>
        <translation>絶対値と偏角</translation>
    </message>
    <message>
        <source>phase portrait</source>
        <translation>位相図</translation>
    </message>
    <message>
        <source>linear greys</source>
        <translation>線形の濃淡</translation>
    </message>
    <message>
        <source>symlog greys</source>
        <translation>対数の濃淡 (symlog)</translation>
    </message>
    <message>
        <source>symlog: each value v shown as sign(v) log(1 + |v|/t), so that values over many decades each get their greys</source>
        <translation>symlog: 値 v を sign(v) log(1 + |v|/t) として表示し、何桁にもわたる値にそれぞれ濃淡を割り当てます</translation>
    </message>
    <message>
        <source>|f| low</source>
        <translation>|f| 下限</translation>
    </message>
    <message>
        <source>|f| high</source>
        <translation>|f| 上限</translation>
    </message>
    <message>
        <source>“%1” must be above 0</source>
        <translation>「%1」は 0 より大きくしてください</translation>
    </message>
    <message>
        <source>Level curves</source>
        <translation>等高線</translation>
    </message>
    <message>
        <source>Zeros and poles</source>
        <translation>零点と極</translation>
    </message>
    <message>
        <source>zero of order %1 at z = %2</source>
        <translation>%1 位の零点 z = %2</translation>
    </message>
    <message>
        <source>pole of order %1 at z = %2, residue %3 (error about %4)</source>
        <translation>%1 位の極 z = %2、留数 %3（誤差 約 %4）</translation>
    </message>
    <message>
        <source>no zeros or poles found in the view</source>
        <translation>表示の中に零点も極もありません</translation>
    </message>
    <message>
        <source>f jumps along every circle about it (a branch cut)</source>
        <translation>そのまわりのどの円でも f が跳ぶため（分岐の切れ目）</translation>
    </message>
    <message>
        <source>f is 0 or has no finite value at points of a region too wide to circle</source>
        <translation>円で囲めないほど広い範囲に、f が 0 か有限の値をもたない点があるため</translation>
    </message>
    <message>
        <source>the winding of f does not settle (an essential singularity, or points that accumulate)</source>
        <translation>f の回転数が定まらないため（真性特異点か、集積する点）</translation>
    </message>
    <message>
        <source>the cells where f winds spread too wide to circle (a branch cut along a row or a column of pixels, or points that accumulate)</source>
        <translation>f が回る升目が広がりすぎて円で囲めないため（画素の行か列に沿う分岐の切れ目か、集積する点）</translation>
    </message>
    <message>
        <source>; none counted near %1: %2</source>
        <translation>。%1 の近くは数えていません: %2</translation>
    </message>
    <message>
        <source>Ctrl+C copies its line</source>
        <translation>Ctrl+C でこの行をコピー</translation>
    </message>
    <message>
        <source>no zeros and poles marked: f uses %1, which has no complex derivative, so it is not meromorphic</source>
        <translation>零点と極は示しません: f は複素微分を持たない %1 を使っているので有理型ではありません</translation>
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
