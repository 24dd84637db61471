<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Mise à jour</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Téléchargement des mises à jour</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Temps restant : 0 minute</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Temps restant</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Téléchargement des mises à jour</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Temps restant</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 Ko</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 Mo</translation>
    </message>
    <message>
        <source>of</source>
        <translation>sur</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>environ %1 heures</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 minute</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutes</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 seconde</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 secondes</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Impossible d&apos;exécuter le paquet téléchargé !</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Téléchargement terminé !</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>Le programme d&apos;installation s&apos;ouvrira séparément</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Cliquez sur « OK » pour commencer l&apos;installation de la mise à jour</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>Pour installer la mise à jour, vous devrez peut-être quitter l&apos;application. Cette mise à jour est obligatoire : quitter maintenant fermera l&apos;application</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>Pour installer la mise à jour, vous devrez peut-être quitter l&apos;application.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Cliquez sur le bouton « Ouvrir » pour appliquer la mise à jour</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Mise à jour téléchargée introuvable !</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Voulez-vous vraiment annuler le téléchargement ? Cette mise à jour est obligatoire : quitter maintenant fermera l&apos;application</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Voulez-vous vraiment annuler le téléchargement ?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Félicitations ! Vous utilisez la dernière version de %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>Aucune mise à jour n&apos;est disponible pour le moment</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>La version %1 de %2 est disponible !</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Voulez-vous télécharger la mise à jour maintenant ? Cette mise à jour est obligatoire : quitter maintenant fermera l&apos;application.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Voulez-vous télécharger la mise à jour maintenant ?</translation>
    </message>
</context>
</TS>
