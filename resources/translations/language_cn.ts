<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>技术支持</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>恢复原图</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>适合窗口</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>实际大小</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>查看原图</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>效果</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>高级</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>色彩增强</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>色彩校正</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>细节增强</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>对比度增强</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>低对比度</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>中低对比度</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>中高对比度</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>高对比度</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>内存不足，无法处理图片。</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>无法准备图片以供编辑。</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>无法处理图片。</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>如果不保存，您的更改将会丢失。</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>没有可保存的图片。</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>无法写入“%1”类型的文件。</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>前 / 后对比</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>智能色调</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>图像光彩</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>颜色滤镜</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>暗角</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR 降噪</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>高光</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>阴影</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>对比度</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>亮度</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>锐度</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>模糊</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>色温</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>色调</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>伽马</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>饱和度</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>自然饱和度</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>蓝</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>不透明度</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>数量</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>亮度噪点</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>色彩噪点</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>无法使用当前设置处理图片，因此未保存。</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>无法将图片保存为“%1”。</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>不再显示</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>快速入门</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. 导入同一场景以不同曝光拍摄的三张或更多照片，或者一张照片。</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. 选择包围曝光模式或单张照片模式，然后单击“下一步”。</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. 在编辑页面上调整图片并保存。</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>单张照片模式</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>包围曝光模式</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>移除照片</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>下一步</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>单张照片模式下只需选择一张照片。</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>包围曝光模式下需要选择至少 3 张不同曝光的照片。</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>包围曝光模式。<byte value="xd"/>
请选择 3 张或更多不同曝光的照片。</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>单张照片模式。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>还原</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>在线帮助</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>常见问题</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>联系客服</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>语言切换成功，请重新启动应用程序。</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>抱歉，同一组照片的分辨率必须相同。</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>无法打开所选图像。图像已损坏或不受支持。</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>无法创建 HDR 图像。</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>所选照片太大，此计算机的可用内存不足以处理。</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>如果不保存，您的更改将会丢失。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>原图</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>经典</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>超自然</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>魔幻</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>冷色调</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>清新</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>蓝天</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>油画</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>黑白</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>超级黑白</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>老照片</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>重置</translation>
    </message>
</context>
</TS>
