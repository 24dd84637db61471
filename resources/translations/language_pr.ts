<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Página inicial</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Suporte</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Repor o original</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Ajustar</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Tamanho real</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Ver original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Efeito</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avançado</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Melhoria da cor</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Correção da cor</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Melhoria dos detalhes</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Melhoria do contraste</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Contraste baixo</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Contraste médio-baixo</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Contraste médio-alto</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Contraste alto</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Não há memória suficiente para processar a imagem.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Não foi possível preparar a imagem para edição.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Não foi possível processar a imagem.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>As suas alterações serão perdidas se não as guardar.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Não há nenhuma imagem para guardar.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Não é possível escrever o tipo de ficheiro &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Voltar</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Guardar como</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Antes / Depois</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Tom inteligente</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Luminosidade da imagem</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Filtro de cor</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Vinheta</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Redução de ruído HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Realces</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Sombras</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Contraste</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Brilho</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Nitidez</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Desfocagem</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatura</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tonalidade</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gama</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Saturação</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Vivacidade</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Vermelho</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacidade</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Quantidade</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminância</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Crominância</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Não foi possível processar a imagem com as definições atuais, por isso não foi guardada.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Não foi possível guardar a imagem como &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Não mostrar novamente</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Primeiros passos</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importe três ou mais fotografias da mesma cena tiradas com exposições diferentes, ou uma única fotografia.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Escolha o modo Bracketing ou o modo Fotografia única e clique em Seguinte.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Aperfeiçoe a imagem na página de edição e guarde-a.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Modo Fotografia única</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Modo Bracketing</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importar</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Remover fotografias</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Seguinte</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>No modo Fotografia única, selecione apenas uma fotografia.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>No modo Bracketing, selecione pelo menos 3 fotografias com exposições diferentes.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Modo Bracketing.<byte value="xd"/>
Selecione 3 ou mais fotografias com exposições diferentes.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Modo Fotografia única.</translation>
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
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Ajuda online</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Perguntas frequentes</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contactar o apoio ao cliente</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>O idioma foi alterado com êxito. Reinicie a aplicação.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Lamentamos, todas as fotografias da série têm de ter a mesma resolução.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Não é possível abrir a imagem selecionada. Está danificada ou não é suportada.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Não é possível criar a imagem HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>As fotos selecionadas são grandes demais para a memória disponível neste computador.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>As suas alterações serão perdidas se não as guardar.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Abrir ficheiro</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Guardar ficheiro</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 já existe.
Pretende substituí-lo?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Clássico</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Super natureza</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magia</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Mais frio</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fresco</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Céu azul</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Pictórico</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>P/B</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Super P/B</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Fotografia antiga</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Repor</translation>
    </message>
</context>
</TS>
