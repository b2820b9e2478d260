<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BGDialog</name>
    <message>
        <location filename="../dialogs/bgdialog.ui" line="+14"/>
        <source>Dialog</source>
        <translation>Hintergrund</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Einfarbig</source>
        <translation>Einfarbig</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Farbe</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Farbverlauf</source>
        <translation>Farbverlauf</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Farbe1</source>
        <translation>Farbe 1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Farbe2</source>
        <translation>Farbe 2</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Senkrecht</source>
        <translation>Senkrecht</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Diagonal</source>
        <translation>Diagonal</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Muster</source>
        <translation>Muster</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Datei</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <location filename="../dialogs/bgdialog.cpp" line="+200"/>
        <source>No image file is chosen for the pattern. Choose one with &quot;...&quot;.</source>
        <translation>Für das Muster ist keine Bilddatei gewählt. Wählen Sie eine mit „...“.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The image %1 cannot be loaded: %2</source>
        <translation>Das Bild %1 kann nicht geladen werden: %2</translation>
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
        <translation>Keine Datei angegeben</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
</context>
<context>
    <name>TLDateText</name>
    <message>
        <location filename="../model/tldatetext.cpp" line="+9"/>
        <source>%1 BC</source>
        <translation>%1 v. Chr.</translation>
    </message>
</context>
<context>
    <name>TLItemDelegate</name>
    <message>
        <location filename="../view/tlitemdelegate.cpp" line="+281"/>
        <source>Ctrl+Return to finish, Ctrl+B, Ctrl+I and Ctrl+U for bold, italic and underline</source>
        <translation>Strg+Eingabe zum Abschließen; Strg+B, Strg+I und Strg+U für fett, kursiv und unterstrichen</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+106"/>
        <source>Choose a colour</source>
        <translation>Farbe wählen</translation>
    </message>
</context>
<context>
    <name>TLItemDialog</name>
    <message>
        <location filename="../dialogs/tlitemdialog.ui" line="+14"/>
        <source>Timeline Item</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Pos</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+10"/>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>TextColor</source>
        <translation>Textfarbe</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>BackgroundColor</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TLItemModel</name>
    <message>
        <location filename="../model/tlitemmodel.cpp" line="+112"/>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pos</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>BackgroundColor</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>EndDate</source>
        <translation>Enddatum</translation>
    </message>
</context>
<context>
    <name>TLine</name>
    <message>
        <location filename="../view/tline.cpp" line="+299"/>
        <source>edit...</source>
        <translation>Bearbeiten...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>Zelvaro</name>
    <message>
        <location filename="../app/chartcommands.cpp" line="+40"/>
        <source>Change Background</source>
        <translation>Hintergrund ändern</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Change Typ</source>
        <translation>Typ ändern</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Typ 1</source>
        <translation>Typ 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Typ 2</source>
        <translation>Typ 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Typ 3</source>
        <translation>Typ 3</translation>
    </message>
    <message>
        <location filename="../model/tlinputfile.cpp" line="+11"/>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
    <message>
        <location filename="../app/documentcommands.cpp" line="+80"/>
        <location line="+45"/>
        <location filename="../app/exportcommands.cpp" line="+67"/>
        <source>Choose a file</source>
        <translation>Datei wählen</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>Timeline (*.vrk);;Tables (*.csv);;All (*.*)</source>
        <translation>Zeitleisten (*.vrk);;Tabellen (*.csv);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Timeline (*.vrk);;Tables (*.csv)</source>
        <translation>Zeitleisten (*.vrk);;Tabellen (*.csv)</translation>
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
        <translation>Die Zeitleiste wurde geändert.
Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Zelvaro - %1</source>
        <translation>Zelvaro - %1</translation>
    </message>
    <message>
        <location filename="../model/tlfileresult.cpp" line="+18"/>
        <source>The file cannot be opened: %1</source>
        <translation>Die Datei kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file is not a timeline chart.</source>
        <translation>Die Datei ist keine Zeitleiste.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file was written in a newer, unsupported version of the format.</source>
        <translation>Die Datei wurde in einer neueren, nicht unterstützten Version des Formats geschrieben.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file asks for a chart style this program does not know.</source>
        <translation>Die Datei verlangt einen Typ von Zeitleiste, den dieses Programm nicht kennt.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file cannot be written: %1</source>
        <translation>Die Datei kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The folder %1 takes no new file (%2). A save writes the new file beside the old one and replaces the old one only when it is complete, so the file was left as it was. Save it in another folder.</source>
        <translation>Der Ordner %1 nimmt keine neue Datei auf (%2). Beim Speichern entsteht die neue Datei neben der alten und ersetzt sie erst, wenn sie vollständig ist; die Datei blieb daher, wie sie war. Speichern Sie sie in einem anderen Ordner.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>This is not a timeline or table file: the name must end in .vrk or .csv.</source>
        <translation>Dies ist weder eine Zeitleiste noch eine Tabelle: Der Name muss auf .vrk oder .csv enden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The chart format holds dates from 25 November 4714 BC on, but not %1. Save the chart as a table (.csv) to keep it.</source>
        <translation>Das Diagrammformat nimmt Daten ab dem 25. November 4714 v. Chr. auf, aber nicht %1. Speichern Sie das Diagramm als Tabelle (.csv), um es zu behalten.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The file ends early; %1 items were read.</source>
        <translation>Die Datei endet vorzeitig; gelesene Einträge: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The table stops at line %1, whose record has fewer than three fields; the items before it were read.</source>
        <translation>Die Tabelle endet in Zeile %1, deren Datensatz weniger als drei Felder hat; die Einträge davor wurden gelesen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The table is in UTF-16 without a byte-order mark; save it as UTF-8 and open it again.</source>
        <translation>Die Tabelle ist in UTF-16 ohne Byte-Order-Mark gespeichert; speichern Sie sie als UTF-8 und öffnen Sie sie erneut.</translation>
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
        <translation>Bild speichern</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>There is not enough memory for an image of %1 × %2 pixels.</source>
        <translation>Für ein Bild von %1 × %2 Pixeln reicht der Speicher nicht.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The image could not be saved as %1:
%2</source>
        <translation>Das Bild konnte nicht als %1 gespeichert werden:
%2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The folder %1 takes no new file (%2). Choose another folder.</source>
        <translation>Der Ordner %1 nimmt keine neue Datei auf (%2). Wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The chart has no area to draw.</source>
        <translation>Die Zeitleiste hat keine Fläche zum Zeichnen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The chart is %1 × %2 pixels, more than the %3 megapixels that can be exported or printed. Lower the day width to make it smaller.</source>
        <translation>Die Zeitleiste ist %1 × %2 Pixel groß, mehr als die %3 Megapixel, die exportiert oder gedruckt werden können. Verringern Sie die Tagesbreite, um sie zu verkleinern.</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+10"/>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The printer %1 could not be started.</source>
        <translation>Der Drucker %1 konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The chart could not be printed to %1.</source>
        <translation>Die Zeitleiste konnte nicht nach %1 gedruckt werden.</translation>
    </message>
    <message>
        <location filename="../app/itemcommands.cpp" line="-22"/>
        <source>New Item</source>
        <translation>Neues Element</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Edit Item</source>
        <translation>Element bearbeiten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>do you real want to delete this item permanently?</source>
        <translation>Möchten Sie diesen Eintrag wirklich endgültig löschen?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Delete Item</source>
        <translation>Element löschen</translation>
    </message>
    <message>
        <location filename="../app/zelvaro.cpp" line="+51"/>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Open ...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Save ...</source>
        <translation>&amp;Speichern...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Save as...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save &amp;Image ...</source>
        <translation>B&amp;ild speichern...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Print ...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>N&amp;ew Item ...</source>
        <translation>Neuer &amp;Eintrag...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>change Background ...</source>
        <translation>Hintergrund ändern...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>change Typ ...</source>
        <translation>Typ ändern...</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Da&amp;ta</source>
        <translation>Da&amp;ten</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>main</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Regler</source>
        <translation>Regler</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>end</source>
        <translation>Ende</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>width</source>
        <translation>Tagesbreite</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>height</source>
        <translation>Zeilenhöhe</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>maxpos</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>arrow</source>
        <translation>Pfeil</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Mark Ends</source>
        <translation>Enden markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Items</source>
        <translation>Einträge markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Days</source>
        <translation>Tage markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Weeks</source>
        <translation>Wochen markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Months</source>
        <translation>Monate markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark Years</source>
        <translation>Jahre markieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Round Edges</source>
        <translation>Runde Ecken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Item Shadow</source>
        <translation>Eintragsschatten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Arrow Shadow</source>
        <translation>Pfeilschatten</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>data</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Titels</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+106"/>
        <source>Edit %1</source>
        <translation>%1 bearbeiten</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>*Neu*</source>
        <translation>*Neu*</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Change Display Switches</source>
        <translation>Anzeige umschalten</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Change Start</source>
        <translation>Beginn ändern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change End</source>
        <translation>Ende ändern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Width</source>
        <translation>Tagesbreite ändern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Height</source>
        <translation>Zeilenhöhe ändern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Rows</source>
        <translation>Zeilen ändern</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Change Arrow</source>
        <translation>Pfeil ändern</translation>
    </message>
</context>
</TS>
