<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sv" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Startsida</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Återgå till originalet</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Anpassa</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Verklig storlek</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Visa original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effekt</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avancerat</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Färgförbättring</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Färgkorrigering</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detaljförbättring</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Kontrastförbättring</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Låg kontrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Medellåg kontrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Medelhög kontrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Hög kontrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Det finns inte tillräckligt med minne för att bearbeta bilden.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Bilden kunde inte förberedas för redigering.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Bilden kunde inte bearbetas.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Dina ändringar går förlorade om du inte sparar dem.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Det finns ingen bild att spara.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Filtypen &quot;%1&quot; kan inte skrivas.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Tillbaka</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Spara som</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Före / Efter</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Smart ton</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Bildlyster</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Färgfilter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vinjettering</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR-brusreducering</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Högdagrar</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Skuggor</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Ljusstyrka</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Skärpa</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Oskärpa</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Färgton</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Mättnad</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Lyster</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Röd</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grön</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blå</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacitet</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Mängd</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminans</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Krominans</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Bilden kunde inte bearbetas med de aktuella inställningarna, så den sparades inte.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Bilden kunde inte sparas som &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Visa inte igen</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Stäng</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Kom igång</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importera tre eller fler foton av samma motiv tagna med olika exponering, eller ett enda foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Välj läget Bracketing eller läget Enstaka foto och klicka på Nästa.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Finjustera bilden på redigeringssidan och spara den.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Läget Enstaka foto</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Läget Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importera</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Ta bort foton</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Nästa</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>I läget Enstaka foto ska du bara välja ett foto.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>I läget Bracketing måste du välja minst 3 foton med olika exponering.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Läget Bracketing.<byte value="xd"/>
Välj 3 eller fler foton med olika exponering.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Läget Enstaka foto.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Meny</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimera</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Återställ</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Stäng</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Hjälp</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Språk</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Onlinehjälp</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Vanliga frågor</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Kontakta kundtjänst</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Om</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Språket har ändrats. Starta om programmet.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Tyvärr måste alla foton i serien ha samma upplösning.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Den valda bilden kan inte öppnas. Den är antingen skadad eller stöds inte.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Det gick inte att skapa HDR-bilden.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>De valda fotona är för stora för det tillgängliga minnet på den här datorn.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Dina ändringar går förlorade om du inte sparar dem.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Öppna fil</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Spara fil</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 finns redan.
Vill du ersätta den?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Klassisk</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Supernatur</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magi</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Svalare</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Frisk</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Blå himmel</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Målerisk</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>S/V</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super S/V</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Gammalt foto</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Återställ</translation>
    </message>
</context>
</TS>
