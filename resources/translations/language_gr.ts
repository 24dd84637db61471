<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Πληροφορίες</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Αρχική σελίδα</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Υποστήριξη</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Επαναφορά στο πρωτότυπο</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Προσαρμογή</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Πραγματικό μέγεθος</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Προβολή πρωτοτύπου</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Εφέ</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Για προχωρημένους</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Βελτίωση χρώματος</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Διόρθωση χρώματος</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Βελτίωση λεπτομερειών</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Βελτίωση αντίθεσης</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Χαμηλή αντίθεση</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Μεσαία χαμηλή αντίθεση</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Μεσαία υψηλή αντίθεση</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Υψηλή αντίθεση</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Δεν υπάρχει αρκετή μνήμη για την επεξεργασία της εικόνας.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Δεν ήταν δυνατή η προετοιμασία της εικόνας για επεξεργασία.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Δεν ήταν δυνατή η επεξεργασία της εικόνας.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Οι αλλαγές σας θα χαθούν αν δεν τις αποθηκεύσετε.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Δεν υπάρχει εικόνα για αποθήκευση.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Δεν είναι δυνατή η εγγραφή αρχείου τύπου «%1».</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Πίσω</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Αποθήκευση ως</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Πριν / Μετά</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Έξυπνος τόνος</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Λάμψη εικόνας</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Φίλτρο χρώματος</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Βινιετάρισμα</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Μείωση θορύβου HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Φωτεινά σημεία</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Σκιές</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Αντίθεση</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Φωτεινότητα</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Οξύτητα</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Θόλωση</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Θερμοκρασία</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Απόχρωση</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Γάμμα</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Κορεσμός</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Ζωντάνια</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Κόκκινο</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Πράσινο</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Μπλε</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Αδιαφάνεια</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Ποσότητα</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Φωτεινότητα θορύβου</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Χρωματικός θόρυβος</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Δεν ήταν δυνατή η επεξεργασία της εικόνας με τις τρέχουσες ρυθμίσεις, οπότε δεν αποθηκεύτηκε.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Δεν ήταν δυνατή η αποθήκευση της εικόνας ως «%1».</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Να μην εμφανιστεί ξανά</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Ξεκινώντας</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Εισαγάγετε τρεις ή περισσότερες φωτογραφίες της ίδιας σκηνής με διαφορετικές εκθέσεις ή μία μόνο φωτογραφία.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Επιλέξτε τη λειτουργία Bracketing ή τη λειτουργία Μίας φωτογραφίας και πατήστε Επόμενο.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Βελτιώστε την εικόνα στη σελίδα επεξεργασίας και αποθηκεύστε την.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Λειτουργία μίας φωτογραφίας</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Λειτουργία Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Εισαγωγή</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Αφαίρεση φωτογραφιών</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Επόμενο</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>Στη λειτουργία μίας φωτογραφίας επιλέξτε μόνο μία φωτογραφία.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>Στη λειτουργία Bracketing επιλέξτε τουλάχιστον 3 φωτογραφίες με διαφορετικές εκθέσεις.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Λειτουργία Bracketing.<byte value="xd"/>
Επιλέξτε 3 ή περισσότερες φωτογραφίες με διαφορετικές εκθέσεις.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Λειτουργία μίας φωτογραφίας.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Μενού</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Ελαχιστοποίηση</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Επαναφορά</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Βοήθεια</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Γλώσσα</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Ηλεκτρονική βοήθεια</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Συχνές ερωτήσεις</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Επικοινωνία με την εξυπηρέτηση πελατών</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Πληροφορίες</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Η γλώσσα άλλαξε. Επανεκκινήστε την εφαρμογή.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Λυπούμαστε, όλες οι φωτογραφίες της σειράς πρέπει να έχουν την ίδια ανάλυση.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Δεν είναι δυνατό να ανοίξει η επιλεγμένη εικόνα. Είναι κατεστραμμένη ή δεν υποστηρίζεται.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Δεν ήταν δυνατή η δημιουργία της εικόνας HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Οι επιλεγμένες φωτογραφίες είναι πολύ μεγάλες για τη διαθέσιμη μνήμη αυτού του υπολογιστή.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Οι αλλαγές σας θα χαθούν αν δεν τις αποθηκεύσετε.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Άνοιγμα αρχείου</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Αποθήκευση αρχείου</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Το %1 υπάρχει ήδη.
Θέλετε να το αντικαταστήσετε;</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Πρωτότυπο</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Κλασικό</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Σούπερ φύση</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Μαγεία</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Πιο ψυχρό</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Φρέσκο</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Γαλάζιος ουρανός</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Ζωγραφικό</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>Α/Μ</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Σούπερ Α/Μ</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Παλιά φωτογραφία</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Επαναφορά</translation>
    </message>
</context>
</TS>
