<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>HomePage</translation>
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
        <translation>Revert to Original</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Fit In</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>View Original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Color Enhancement</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Color Correction</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Detail Enhancement</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Contrast Enhancement</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Low Contrast</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Medium Low Contrast</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Medium  High Contrast</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>High Contrast</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>There is not enough memory to process the picture.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>The picture could not be prepared for editing.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>The picture could not be processed.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Your changes will be lost if you don’t save them.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>There is no picture to save.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>The file type &quot;%1&quot; cannot be written.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Before / After</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Smart Tone</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Image Radiance</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Color Filter</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vignetting</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR Denoise</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Highlights</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Shadows</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Sharpness</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Blur</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tint</translation>
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
        <translation>Red</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Amount</translation>
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
        <translation>The picture could not be processed with the current settings, so it was not saved.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>The picture could not be saved as &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Don&apos;t show again</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Getting started</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Import three or more photos of one scene taken at different exposures, or a single photo.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Choose Bracketing Mode or Single Photo Mode and click Next.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Refine the picture on the editing page and save it.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Single Photo Mode</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Bracketing Mode</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Remove Photos</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>For Single photo mode, you only need select one photo.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>For Bracketing mode, you need select at least 3 photos with different exposures.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Single photo mode.</translation>
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
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Online Help</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Product FAQ</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contact Customer Service</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>About</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>The language is switched successfully, please restart your application.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Sorry, the source images resolution must be the same for each photo in the set.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>The selected image cannot be opened. It is either damaged or unsupported.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Unable to create HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>The selected photos are too large for the memory available on this computer.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Your changes will be lost if you don’t save them.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Classic</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super Nature</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magic</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Cooler</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fresh</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Blue Sky</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Painterly</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>B/W</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super B/W</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Old Photo</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Reset</translation>
    </message>
</context>
</TS>
