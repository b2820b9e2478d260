<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>BGDialog</name>
    <message>
        <location filename="../dialogs/bgdialog.ui" line="+14"/>
        <source>Dialog</source>
        <translation>Background</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Einfarbig</source>
        <translation>Solid Colour</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Farbe</source>
        <translation>Colour</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Farbverlauf</source>
        <translation>Gradient</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Farbe1</source>
        <translation>Colour 1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Farbe2</source>
        <translation>Colour 2</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Senkrecht</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Diagonal</source>
        <translation>Diagonal</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Muster</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Datei</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <location filename="../dialogs/bgdialog.cpp" line="+200"/>
        <source>No image file is chosen for the pattern. Choose one with &quot;...&quot;.</source>
        <translation>No image file is chosen for the pattern. Choose one with &quot;...&quot;.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The image %1 cannot be loaded: %2</source>
        <translation>The image %1 cannot be loaded: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Zelvaro</source>
        <translation>Zelvaro</translation>
    </message>
</context>
<context>
    <name>TLBackground</name>
    <message>
        <location filename="../view/tlbackground.cpp" line="+47"/>
        <source>No file is named</source>
        <translation>No file is named</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not a regular file</source>
        <translation>Not a regular file</translation>
    </message>
</context>
<context>
    <name>TLDateText</name>
    <message>
        <location filename="../model/tldatetext.cpp" line="+9"/>
        <source>%1 BC</source>
        <translation>%1 BC</translation>
    </message>
</context>
<context>
    <name>TLItemDelegate</name>
    <message>
        <location filename="../view/tlitemdelegate.cpp" line="+281"/>
        <source>Ctrl+Return to finish, Ctrl+B, Ctrl+I and Ctrl+U for bold, italic and underline</source>
        <translation>Ctrl+Return to finish; Ctrl+B, Ctrl+I and Ctrl+U for bold, italic and underline</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+106"/>
        <source>Choose a colour</source>
        <translation>Choose a colour</translation>
    </message>
</context>
<context>
    <name>TLItemDialog</name>
    <message>
        <location filename="../dialogs/tlitemdialog.ui" line="+14"/>
        <source>Timeline Item</source>
        <translation>Timeline Item</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Pos</source>
        <translation>Row</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+10"/>
        <source>End</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>TextColor</source>
        <translation>Text Colour</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>BackgroundColor</source>
        <translation>Background Colour</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Font</source>
        <translation>Font</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TLItemModel</name>
    <message>
        <location filename="../model/tlitemmodel.cpp" line="+112"/>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pos</source>
        <translation>Row</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BackgroundColor</source>
        <translation>Background Colour</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>EndDate</source>
        <translation>End Date</translation>
    </message>
</context>
<context>
    <name>TLine</name>
    <message>
        <location filename="../view/tline.cpp" line="+299"/>
        <source>edit...</source>
        <translation>Edit...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>delete</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>Zelvaro</name>
    <message>
        <location filename="../app/chartcommands.cpp" line="+40"/>
        <source>Change Background</source>
        <translation>Change Background</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Change Typ</source>
        <translation>Change Style</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Typ 1</source>
        <translation>Style 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Typ 2</source>
        <translation>Style 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Typ 3</source>
        <translation>Style 3</translation>
    </message>
    <message>
        <location filename="../model/tlinputfile.cpp" line="+11"/>
        <source>Not a regular file</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <location filename="../app/documentcommands.cpp" line="+80"/>
        <location line="+45"/>
        <location filename="../app/exportcommands.cpp" line="+67"/>
        <source>Choose a file</source>
        <translation>Choose a file</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Timeline (*.vrk);;Tables (*.csv);;All (*.*)</source>
        <translation>Timeline charts (*.vrk);;Tables (*.csv);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Timeline (*.vrk);;Tables (*.csv)</source>
        <translation>Timeline charts (*.vrk);;Tables (*.csv)</translation>
    </message>
    <message>
        <location line="+42"/>
        <location line="+13"/>
        <location line="+53"/>
        <location filename="../app/itemcommands.cpp" line="+50"/>
        <source>Zelvaro</source>
        <translation>Zelvaro</translation>
    </message>
    <message>
        <location line="-66"/>
        <source>The chart has been changed.
Do you want to save your changes?</source>
        <translation>The chart has been changed.
Do you want to save your changes?</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Zelvaro - %1</source>
        <translation>Zelvaro - %1</translation>
    </message>
    <message>
        <location filename="../model/tlfileresult.cpp" line="+18"/>
        <source>The file cannot be opened: %1</source>
        <translation>The file cannot be opened: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file is not a timeline chart.</source>
        <translation>The file is not a timeline chart.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file was written in a newer, unsupported version of the format.</source>
        <translation>The file was written in a newer, unsupported version of the format.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file asks for a chart style this program does not know.</source>
        <translation>The file asks for a chart style this program does not know.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file cannot be written: %1</source>
        <translation>The file cannot be written: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The folder %1 takes no new file (%2). A save writes the new file beside the old one and replaces the old one only when it is complete, so the file was left as it was. Save it in another folder.</source>
        <translation>The folder %1 takes no new file (%2). A save writes the new file beside the old one and replaces the old one only when it is complete, so the file was left as it was. Save it in another folder.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>This is not a timeline or table file: the name must end in .vrk or .csv.</source>
        <translation>This is not a timeline chart or table: the name must end in .vrk or .csv.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The chart format holds dates from 25 November 4714 BC on, but not %1. Save the chart as a table (.csv) to keep it.</source>
        <translation>The chart format holds dates from 25 November 4714 BC on, but not %1. Save the chart as a table (.csv) to keep it.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The file ends early; %1 items were read.</source>
        <translation>The file ends early; items read: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The table stops at line %1, whose record has fewer than three fields; the items before it were read.</source>
        <translation>The table stops at line %1, whose record has fewer than three fields; the items before it were read.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The table is in UTF-16 without a byte-order mark; save it as UTF-8 and open it again.</source>
        <translation>The table is in UTF-16 without a byte-order mark; save it as UTF-8 and open it again.</translation>
    </message>
    <message>
        <location filename="../app/documentcommands.cpp" line="+8"/>
        <source>%1

%2</source>
        <translation>%1

%2</translation>
    </message>
    <message>
        <location filename="../app/exportcommands.cpp" line="-29"/>
        <location line="+23"/>
        <source>Save Image</source>
        <translation>Save Image</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>There is not enough memory for an image of %1 × %2 pixels.</source>
        <translation>There is not enough memory for an image of %1 × %2 pixels.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The image could not be saved as %1:
%2</source>
        <translation>The image could not be saved as %1:
%2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Images (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The folder %1 takes no new file (%2). Choose another folder.</source>
        <translation>The folder %1 takes no new file (%2). Choose another folder.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The chart has no area to draw.</source>
        <translation>The chart has no area to draw.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart is %1 × %2 pixels, more than the %3 megapixels that can be exported or printed. Lower the day width to make it smaller.</source>
        <translation>The chart is %1 × %2 pixels, more than the %3 megapixels that can be exported or printed. Lower the day width to make it smaller.</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+10"/>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The printer %1 could not be started.</source>
        <translation>The printer %1 could not be started.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The chart could not be printed to %1.</source>
        <translation>The chart could not be printed to %1.</translation>
    </message>
    <message>
        <location filename="../app/itemcommands.cpp" line="-22"/>
        <source>New Item</source>
        <translation>New Item</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Edit Item</source>
        <translation>Edit Item</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>do you real want to delete this item permanently?</source>
        <translation>Do you really want to delete this item permanently?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Delete Item</source>
        <translation>Delete Item</translation>
    </message>
    <message>
        <location filename="../app/zelvaro.cpp" line="+51"/>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;New</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Open ...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Save ...</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Save as...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save &amp;Image ...</source>
        <translation>Save &amp;Image...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Print ...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>N&amp;ew Item ...</source>
        <translation>N&amp;ew Item...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>change Background ...</source>
        <translation>Change Background...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>change Typ ...</source>
        <translation>Change Style...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Undo</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Redo</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Da&amp;ta</source>
        <translation>Da&amp;ta</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>main</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Regler</source>
        <translation>Controls</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>start</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>end</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>width</source>
        <translation>Day width</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>height</source>
        <translation>Row height</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>maxpos</source>
        <translation>Rows</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>arrow</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mark Ends</source>
        <translation>Mark Ends</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Items</source>
        <translation>Mark Items</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Days</source>
        <translation>Mark Days</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Weeks</source>
        <translation>Mark Weeks</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Months</source>
        <translation>Mark Months</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Years</source>
        <translation>Mark Years</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Round Edges</source>
        <translation>Round Edges</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Item Shadow</source>
        <translation>Item Shadow</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arrow Shadow</source>
        <translation>Arrow Shadow</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>data</source>
        <translation>Items</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Titels</source>
        <translation>Titles</translation>
    </message>
    <message>
        <location line="+106"/>
        <source>Edit %1</source>
        <translation>Edit %1</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>*Neu*</source>
        <translation>*New*</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Change Display Switches</source>
        <translation>Change Display Switches</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Change Start</source>
        <translation>Change Start</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change End</source>
        <translation>Change End</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Width</source>
        <translation>Change Day Width</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Height</source>
        <translation>Change Row Height</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Rows</source>
        <translation>Change Rows</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Arrow</source>
        <translation>Change Arrow</translation>
    </message>
</context>
</TS>
