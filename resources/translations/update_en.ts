<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Downloader</name>
    <message>
        <source>Updater</source>
        <translation>Updater</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>Downloading updates</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>Time remaining: 0 minutes</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Time remaining</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>Downloading Updates</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>Time Remaining</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>of</source>
        <translation>of</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>about %1 hours</translation>
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
        <translation>1 second</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Cannot execute downloaded package!</source>
        <translation>Cannot execute downloaded package!</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>Download complete!</translation>
    </message>
    <message>
        <source>The installer will open separately</source>
        <translation>The installer will open separately</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>Click &quot;OK&quot; to begin installing the update</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</source>
        <translation>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>In order to install the update, you may need to quit the application.</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>Click the &quot;Open&quot; button to apply the update</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>Cannot find downloaded update!</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>Are you sure you want to cancel the download?</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>Congratulations! You are running the latest version of %1</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>No updates are available for the moment</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>Version %1 of %2 has been released!</translation>
    </message>
    <message>
        <source>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</source>
        <translation>Would you like to download the update now? This is a mandatory update, exiting now will close the application.</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>Would you like to download the update now?</translation>
    </message>
</context>
</TS>
