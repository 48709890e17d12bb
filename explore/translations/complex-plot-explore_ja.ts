<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>complexplot::ExplorerWindow</name>
    <message>
        <location filename="../explorer_window.cpp" line="82"/>
        <source>Complex functions: explorer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="92"/>
        <source>f(z) =</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="118"/>
        <source>grey range: automatic, one for both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="119"/>
        <source>grey range: automatic, one for each</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="120"/>
        <source>grey range: fixed, one for both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="121"/>
        <source>grey range: fixed, one for each</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="124"/>
        <source>Lock the range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="125"/>
        <source>Keep the current greys while zooming and panning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="127"/>
        <source>Re low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="127"/>
        <source>Re high</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="127"/>
        <source>Im low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="127"/>
        <source>Im high</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="140"/>
        <source>Draw the axes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="187"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="188"/>
        <source>&amp;Save figure…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="189"/>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="190"/>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="191"/>
        <source>&amp;Copy the pixel&apos;s values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="197"/>
        <source>Copy the &amp;command line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="199"/>
        <source>Edit the &amp;function</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="203"/>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="204"/>
        <source>&amp;Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="206"/>
        <source>&amp;Forward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="208"/>
        <source>&amp;Go to…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="210"/>
        <source>&amp;Start view (0)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="253"/>
        <location filename="../explorer_window.cpp" line="256"/>
        <source>column %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="323"/>
        <source>drawing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="372"/>
        <source>give the range&apos;s ends as numbers, low below high</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="392"/>
        <source>drawing %1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="423"/>
        <source>z = %1 %2 %3i</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="429"/>
        <source>f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="443"/>
        <location filename="../explorer_window.cpp" line="465"/>
        <source>zoomed in as far as double precision tells the pixels apart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="447"/>
        <source>zoomed out as far as ±10¹⁵</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="456"/>
        <source>the view stays within ±10¹⁵</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="513"/>
        <location filename="../explorer_window.cpp" line="528"/>
        <location filename="../explorer_window.cpp" line="538"/>
        <source>the maps are still being drawn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="517"/>
        <location filename="../explorer_window.cpp" line="532"/>
        <source>copied: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="522"/>
        <source>point at a map to copy its pixel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="543"/>
        <location filename="../explorer_window.cpp" line="562"/>
        <source>Save the view as a figure</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="544"/>
        <source>PNG picture (*.png);;SVG drawing (*.svg);;PDF page (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="560"/>
        <source>saved %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../explorer_window.cpp" line="569"/>
        <source>Go to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>complexplot::MapCanvas</name>
    <message numerus="yes">
        <location filename="../map_canvas.cpp" line="277"/>
        <source>no value: %n point(s)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>complexplot::MapRenderer</name>
    <message>
        <location filename="../map_renderer.cpp" line="120"/>
        <source>out of memory for maps of this size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../map_renderer.cpp" line="122"/>
        <source>cannot start a thread: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
