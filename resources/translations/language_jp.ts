<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>ホームページ</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>サポート</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>ウィンドウに合わせる</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>実際のサイズ</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>元の画像を表示</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>エフェクト</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>色の強調</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>色補正</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>ディテールの強調</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>コントラストの強調</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>低コントラスト</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>やや低いコントラスト</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>やや高いコントラスト</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>高コントラスト</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>画像を処理するためのメモリが不足しています。</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>画像を編集用に準備できませんでした。</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>画像を処理できませんでした。</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>保存しないと変更内容は失われます。</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>保存する画像がありません。</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>ファイル形式「%1」は書き込めません。</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>ビフォー / アフター</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>スマートトーン</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>画像の輝き</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>カラーフィルター</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>周辺減光</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>HDR ノイズ除去</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>ハイライト</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>シャドウ</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>コントラスト</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>明るさ</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>シャープネス</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>ぼかし</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>色温度</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>色合い</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>ガンマ</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>彩度</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>自然な彩度</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>赤</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>緑</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>青</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>不透明度</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>適用量</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>輝度ノイズ</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>カラーノイズ</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>現在の設定では画像を処理できなかったため、保存されませんでした。</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>画像を「%1」として保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>今後表示しない</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>はじめに</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. 露出を変えて撮影した同じシーンの写真を 3 枚以上、または写真を 1 枚読み込みます。</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. ブラケットモードか単一写真モードを選び、[次へ] をクリックします。</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. 編集ページで画像を仕上げて保存します。</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>単一写真モード</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>ブラケットモード</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>読み込み</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>写真を削除</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>次へ</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>単一写真モードでは写真を 1 枚だけ選択してください。</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>ブラケットモードでは露出の異なる写真を 3 枚以上選択してください。</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>ブラケットモード。<byte value="xd"/>
露出の異なる写真を 3 枚以上選択してください。</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>単一写真モード。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>メニュー</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>元のサイズに戻す</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>オンラインヘルプ</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>よくある質問</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>カスタマーサービスに問い合わせる</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>言語を切り替えました。アプリケーションを再起動してください。</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>申し訳ありませんが、セット内のすべての写真の解像度が同じである必要があります。</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>選択した画像を開けません。破損しているか、サポートされていない形式です。</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>HDR を作成できません。</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>選択した写真は大きすぎて、このコンピューターの空きメモリでは処理できません。</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>保存しないと変更内容は失われます。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>ファイルを保存</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 は既に存在します。
置き換えますか?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>オリジナル</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>クラシック</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>スーパーナチュラル</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>マジック</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>クール</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>フレッシュ</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>青空</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>絵画調</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>モノクロ</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>スーパーモノクロ</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>古い写真</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>リセット</translation>
    </message>
</context>
</TS>
