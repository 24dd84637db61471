<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Page d&apos;accueil</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Assistance</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Revenir à l&apos;original</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Ajuster</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Taille réelle</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Voir l&apos;original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effet</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Amélioration des couleurs</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Correction des couleurs</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Amélioration des détails</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Amélioration du contraste</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Contraste faible</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Contraste moyen-faible</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Contraste moyen-élevé</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Contraste élevé</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Mémoire insuffisante pour traiter l&apos;image.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Impossible de préparer l&apos;image pour la retouche.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Impossible de traiter l&apos;image.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Vos modifications seront perdues si vous ne les enregistrez pas.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Aucune image à enregistrer.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Le type de fichier « %1 » ne peut pas être écrit.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Avant / Après</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Tonalité intelligente</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Éclat de l&apos;image</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Filtre de couleur</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignetage</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Débruitage HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Hautes lumières</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Ombres</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Contraste</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Luminosité</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Netteté</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Flou</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Teinte</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Vibrance</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacité</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Intensité</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminance</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Chrominance</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>L&apos;image n&apos;a pas pu être traitée avec les réglages actuels ; elle n’a donc pas été enregistrée.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>L&apos;image n&apos;a pas pu être enregistrée sous « %1 ».</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Ne plus afficher</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Premiers pas</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importez au moins trois photos d&apos;une même scène prises avec des expositions différentes, ou une seule photo.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Choisissez le mode Bracketing ou le mode Photo unique, puis cliquez sur Suivant.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Affinez l&apos;image sur la page de retouche, puis enregistrez-la.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Mode Photo unique</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Mode Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importer</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Supprimer les photos</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>En mode Photo unique, sélectionnez une seule photo.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>En mode Bracketing, sélectionnez au moins 3 photos avec des expositions différentes.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Mode Bracketing.<byte value="xd"/>
Veuillez sélectionner au moins 3 photos avec des expositions différentes.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Mode Photo unique.</translation>
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
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Aide en ligne</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>FAQ du produit</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contacter le service client</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>La langue a bien été changée. Veuillez redémarrer l&apos;application.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Désolé, toutes les photos de la série doivent avoir la même résolution.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Impossible d&apos;ouvrir l&apos;image sélectionnée. Elle est endommagée ou non prise en charge.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Impossible de créer l&apos;image HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Les photos sélectionnées sont trop grandes pour la mémoire disponible sur cet ordinateur.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Vos modifications seront perdues si vous ne les enregistrez pas.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Ouvrir un fichier</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Enregistrer le fichier</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existe déjà.
Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Originale</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Classique</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super nature</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magie</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Plus froid</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fraîcheur</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Ciel bleu</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Peinture</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>N/B</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super N/B</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Vieille photo</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Réinitialiser</translation>
    </message>
</context>
</TS>
