<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>HomePage</source>
        <translation>Домашняя страница</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Поддержка</translation>
    </message>
</context>
<context>
    <name>IQAdjustingFrame</name>
    <message>
        <source>Revert to Original</source>
        <translation>Вернуть оригинал</translation>
    </message>
    <message>
        <source>Fit In</source>
        <translation>Вписать</translation>
    </message>
    <message>
        <source>Actual Size</source>
        <translation>Реальный размер</translation>
    </message>
    <message>
        <source>View Original</source>
        <translation>Показать оригинал</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Эффект</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Дополнительно</translation>
    </message>
    <message>
        <source>Color Enhancement</source>
        <translation>Улучшение цвета</translation>
    </message>
    <message>
        <source>Color Correction</source>
        <translation>Коррекция цвета</translation>
    </message>
    <message>
        <source>Detail Enhancement</source>
        <translation>Улучшение деталей</translation>
    </message>
    <message>
        <source>Contrast Enhancement</source>
        <translation>Улучшение контраста</translation>
    </message>
    <message>
        <source>Low Contrast</source>
        <translation>Низкий контраст</translation>
    </message>
    <message>
        <source>Medium Low Contrast</source>
        <translation>Ниже среднего</translation>
    </message>
    <message>
        <source>Medium  High Contrast</source>
        <translation>Выше среднего</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Высокий контраст</translation>
    </message>
    <message>
        <source>There is not enough memory to process the picture.</source>
        <translation>Недостаточно памяти для обработки изображения.</translation>
    </message>
    <message>
        <source>The picture could not be prepared for editing.</source>
        <translation>Не удалось подготовить изображение к редактированию.</translation>
    </message>
    <message>
        <source>The picture could not be processed.</source>
        <translation>Не удалось обработать изображение.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Если не сохранить изменения, они будут потеряны.</translation>
    </message>
    <message>
        <source>There is no picture to save.</source>
        <translation>Нет изображения для сохранения.</translation>
    </message>
    <message>
        <source>The file type &quot;%1&quot; cannot be written.</source>
        <translation>Невозможно записать файл типа «%1».</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>IDS_SAVE</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Before / After</source>
        <translation>До / После</translation>
    </message>
    <message>
        <source>HDR</source>
        <translation>HDR</translation>
    </message>
    <message>
        <source>Smart Tone</source>
        <translation>Умный тон</translation>
    </message>
    <message>
        <source>Image Radiance</source>
        <translation>Сияние изображения</translation>
    </message>
    <message>
        <source>IDS_COLOR_FILTER</source>
        <translation>Цветовой фильтр</translation>
    </message>
    <message>
        <source>IDS_VIGNETTING</source>
        <translation>Виньетирование</translation>
    </message>
    <message>
        <source>HDR Denoise</source>
        <translation>Шумоподавление HDR</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Света</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Тени</translation>
    </message>
    <message>
        <source>IDS_CONTRAST</source>
        <translation>Контраст</translation>
    </message>
    <message>
        <source>IDS_BRIGHTNESS</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Резкость</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Размытие</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Оттенок</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Гамма</translation>
    </message>
    <message>
        <source>IDS_SATURATION</source>
        <translation>Насыщенность</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Красочность</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Красный</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Зелёный</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Синий</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Непрозрачность</translation>
    </message>
    <message>
        <source>Amount</source>
        <translation>Сила</translation>
    </message>
    <message>
        <source>Luminance</source>
        <translation>Яркостный шум</translation>
    </message>
    <message>
        <source>Chrominance</source>
        <translation>Цветовой шум</translation>
    </message>
    <message>
        <source>The picture could not be processed with the current settings, so it was not saved.</source>
        <translation>Не удалось обработать изображение с текущими настройками, поэтому оно не сохранено.</translation>
    </message>
    <message>
        <source>The picture could not be saved as &quot;%1&quot;.</source>
        <translation>Не удалось сохранить изображение как «%1».</translation>
    </message>
</context>
<context>
    <name>IQGuideDialog</name>
    <message>
        <source>IDS_AC_DONTSHOWAGAIN</source>
        <translation>Больше не показывать</translation>
    </message>
    <message>
        <source>IDS_AC_CLOSE</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Getting started</source>
        <translation>Начало работы</translation>
    </message>
    <message>
        <source>1. Import three or more photos of one scene taken at different exposures, or a single photo.</source>
        <translation>1. Импортируйте три или более снимков одной сцены с разной экспозицией или одну фотографию.</translation>
    </message>
    <message>
        <source>2. Choose Bracketing Mode or Single Photo Mode and click Next.</source>
        <translation>2. Выберите режим брекетинга или режим одного снимка и нажмите «Далее».</translation>
    </message>
    <message>
        <source>3. Refine the picture on the editing page and save it.</source>
        <translation>3. Доработайте изображение на странице редактирования и сохраните его.</translation>
    </message>
</context>
<context>
    <name>IQTilesFrame</name>
    <message>
        <source>Single Photo Mode</source>
        <translation>Режим одного снимка</translation>
    </message>
    <message>
        <source>Bracketing Mode</source>
        <translation>Режим брекетинга</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Импорт</translation>
    </message>
    <message>
        <source>IDS_REMOVE_PHOTOS</source>
        <translation>Удалить фотографии</translation>
    </message>
    <message>
        <source>IDS_NEXT</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>For Single photo mode, you only need select one photo.</source>
        <translation>В режиме одного снимка нужно выбрать только одну фотографию.</translation>
    </message>
    <message>
        <source>For Bracketing mode, you need select at least 3 photos with different exposures.</source>
        <translation>В режиме брекетинга нужно выбрать не менее 3 фотографий с разной экспозицией.</translation>
    </message>
    <message>
        <source>Bracketing Mode.<byte value="xd"/>
Please select 3 or more photos with different exposures.</source>
        <translation>Режим брекетинга.<byte value="xd"/>
Выберите 3 или более фотографий с разной экспозицией.</translation>
    </message>
    <message>
        <source>Single photo mode.</source>
        <translation>Режим одного снимка.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Свернуть</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>IDS_HELP</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>IDS_MENU_ONLINE_HELP</source>
        <translation>Онлайн-справка</translation>
    </message>
    <message>
        <source>IDS_MENU_FAQ</source>
        <translation>Вопросы и ответы</translation>
    </message>
    <message>
        <source>IDS_MENU_CCS</source>
        <translation>Связаться со службой поддержки</translation>
    </message>
    <message>
        <source>IDS_ABOUT</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>The language is switched successfully, please restart your application.</source>
        <translation>Язык успешно изменён. Перезапустите приложение.</translation>
    </message>
    <message>
        <source>IDS_SAME_SIZE</source>
        <translation>К сожалению, все фотографии серии должны иметь одинаковое разрешение.</translation>
    </message>
    <message>
        <source>IDS_READ_FAILED</source>
        <translation>Не удаётся открыть выбранное изображение. Оно повреждено или не поддерживается.</translation>
    </message>
    <message>
        <source>IDS_ERROR</source>
        <translation>Не удалось создать HDR-изображение.</translation>
    </message>
    <message>
        <source>IDS_TOO_LARGE</source>
        <translation>Выбранные фотографии слишком велики для свободной памяти этого компьютера.</translation>
    </message>
    <message>
        <source>IDS_SAVE_PROMPT</source>
        <translation>Если не сохранить изменения, они будут потеряны.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open File</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Сохранить файл</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 уже существует.
Заменить его?</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Оригинал</translation>
    </message>
    <message>
        <source>Classic</source>
        <translation>Классика</translation>
    </message>
    <message>
        <source>Super Nature</source>
        <translation>Супер-природа</translation>
    </message>
    <message>
        <source>Magic</source>
        <translation>Магия</translation>
    </message>
    <message>
        <source>Cooler</source>
        <translation>Холоднее</translation>
    </message>
    <message>
        <source>Fresh</source>
        <translation>Свежесть</translation>
    </message>
    <message>
        <source>Blue Sky</source>
        <translation>Голубое небо</translation>
    </message>
    <message>
        <source>Painterly</source>
        <translation>Живопись</translation>
    </message>
    <message>
        <source>B/W</source>
        <translation>Ч/Б</translation>
    </message>
    <message>
        <source>Super B/W</source>
        <translation>Супер Ч/Б</translation>
    </message>
    <message>
        <source>Old Photo</source>
        <translation>Старое фото</translation>
    </message>
</context>
<context>
    <name>QToolBoxWidget</name>
    <message>
        <source>IDS_RESTORE</source>
        <translation>Сбросить</translation>
    </message>
</context>
</TS>
