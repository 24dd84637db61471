<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Pagina iniziale</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Assistenza</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Ripristina originale</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Adatta</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Dimensioni reali</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Visualizza originale</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effetto</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzate</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Miglioramento colore</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Correzione colore</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Miglioramento dettagli</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Miglioramento contrasto</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Contrasto basso</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Contrasto medio-basso</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Contrasto medio-alto</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Contrasto alto</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Memoria insufficiente per elaborare l&apos;immagine.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Impossibile preparare l&apos;immagine per la modifica.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Impossibile elaborare l&apos;immagine.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Le modifiche andranno perse se non le salvi.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Nessuna immagine da salvare.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Impossibile scrivere il tipo di file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Indietro</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Salva con nome</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Prima / Dopo</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Tono intelligente</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Luminosità dell&apos;immagine</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Filtro colore</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignettatura</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Riduzione rumore HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Luci</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Ombre</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Contrasto</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Luminosità</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Nitidezza</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Sfocatura</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatura</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tinta</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Saturazione</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Vividezza</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rosso</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blu</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacità</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Quantità</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminanza</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Crominanza</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Impossibile elaborare l&apos;immagine con le impostazioni correnti, quindi non è stata salvata.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Impossibile salvare l&apos;immagine come &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Non mostrare più</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Per iniziare</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importa tre o più foto della stessa scena scattate con esposizioni diverse, oppure una sola foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Scegli la modalità Bracketing o la modalità Foto singola e fai clic su Avanti.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Perfeziona l&apos;immagine nella pagina di modifica e salvala.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Modalità Foto singola</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Modalità Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importa</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Rimuovi foto</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Avanti</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>In modalità Foto singola devi selezionare una sola foto.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>In modalità Bracketing devi selezionare almeno 3 foto con esposizioni diverse.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Modalità Bracketing.<byte value="xd"/>
Seleziona 3 o più foto con esposizioni diverse.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Modalità Foto singola.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Guida</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Guida in linea</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Domande frequenti</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contatta l&apos;assistenza clienti</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>La lingua è stata cambiata. Riavvia l&apos;applicazione.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Spiacenti, tutte le foto della serie devono avere la stessa risoluzione.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Impossibile aprire l&apos;immagine selezionata. È danneggiata o non supportata.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Impossibile creare l&apos;immagine HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Le foto selezionate sono troppo grandi per la memoria disponibile su questo computer.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Le modifiche andranno perse se non le salvi.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Apri file</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Salva file</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 esiste già.
Vuoi sostituirlo?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Originale</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Classico</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super natura</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magia</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Più freddo</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fresco</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Cielo blu</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Pittorico</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>B/N</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super B/N</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Foto d&apos;epoca</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Ripristina</translation>
    </message>
</context>
</TS>
