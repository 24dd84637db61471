<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Página de inicio</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Soporte</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Volver al original</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Ajustar</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Tamaño real</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Ver original</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Efecto</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzado</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Mejora del color</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Corrección del color</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Mejora de detalles</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Mejora del contraste</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Contraste bajo</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Contraste medio bajo</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Contraste medio alto</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Contraste alto</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>No hay memoria suficiente para procesar la imagen.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>No se pudo preparar la imagen para editarla.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>No se pudo procesar la imagen.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Sus cambios se perderán si no los guarda.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>No hay ninguna imagen que guardar.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>No se puede escribir el tipo de archivo «%1».</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Atrás</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Guardar como</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>Antes / Después</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Tono inteligente</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Luminosidad de la imagen</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Filtro de color</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Viñeteado</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Reducción de ruido HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Altas luces</translation>
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
        <translation>Brillo</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Nitidez</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Desenfoque</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatura</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Matiz</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Saturación</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Intensidad</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
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
        <translation>Opacidad</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Cantidad</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Luminancia</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Crominancia</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>No se pudo procesar la imagen con la configuración actual, por lo que no se ha guardado.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>No se pudo guardar la imagen como «%1».</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>No volver a mostrar</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Primeros pasos</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Importe tres o más fotos de una misma escena tomadas con distintas exposiciones, o una sola foto.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Elija el modo Horquillado o el modo Foto única y haga clic en Siguiente.</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Ajuste la imagen en la página de edición y guárdela.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Modo Foto única</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Modo Horquillado</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importar</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Quitar fotos</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Siguiente</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>En el modo Foto única solo debe seleccionar una foto.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>En el modo Horquillado debe seleccionar al menos 3 fotos con distintas exposiciones.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Modo Horquillado.<byte value="xd"/>
Seleccione 3 o más fotos con distintas exposiciones.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Modo Foto única.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Menú</translation>
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
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Ayuda en línea</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Preguntas frecuentes</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Contactar con atención al cliente</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>El idioma se ha cambiado correctamente. Reinicie la aplicación.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>Lo sentimos, todas las fotos de la serie deben tener la misma resolución.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>No se puede abrir la imagen seleccionada. Está dañada o no es compatible.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>No se puede crear la imagen HDR.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Las fotos seleccionadas son demasiado grandes para la memoria disponible en este equipo.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Sus cambios se perderán si no los guarda.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Abrir archivo</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Guardar archivo</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ya existe.
¿Desea reemplazarlo?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Clásico</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Súper natural</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Magia</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Más frío</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Fresco</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Cielo azul</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Pictórico</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>B/N</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Súper B/N</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Foto antigua</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Restablecer</translation>
    </message>
</context>
</TS>
