<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ByteRowsView</name>
    <message>
        <source>Block  Rec  Offset</source>
        <translation>Блок  Зап  Смещение</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Смещение</translation>
    </message>
    <message>
        <source>Hex, fields 1-14 (13 binary)</source>
        <translation>hex, поля 1-14 (13 двоичное)</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>hex</translation>
    </message>
    <message>
        <source>EBCDIC (no code table)</source>
        <translation>EBCDIC (нет кодовой таблицы)</translation>
    </message>
</context>
<context>
    <name>ByteViewerWindow</name>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n байт</numerusform>
            <numerusform>%n байта</numerusform>
            <numerusform>%n байт</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n blocks</source>
        <translation>
            <numerusform>%n блок</numerusform>
            <numerusform>%n блока</numerusform>
            <numerusform>%n блоков</numerusform>
        </translation>
    </message>
    <message>
        <source>offset (123 or 0x7B), block (b 12) or record (r 300)</source>
        <translation>смещение (123 или 0x7B), блок (b 12) или запись (r 300)</translation>
    </message>
    <message>
        <source>Not an offset, block or record</source>
        <translation>Это не смещение, не блок и не запись</translation>
    </message>
    <message>
        <source>Records</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>Plain</source>
        <translation>Сплошь</translation>
    </message>
    <message>
        <source>EBCDIC + ASCII</source>
        <translation>EBCDIC + ASCII</translation>
    </message>
    <message>
        <source>EBCDIC and ASCII decoding side by side (Ctrl+E)</source>
        <translation>EBCDIC и ASCII рядом (Ctrl+E)</translation>
    </message>
    <message>
        <source>Go to</source>
        <translation>Перейти</translation>
    </message>
    <message>
        <source>Copy hex</source>
        <translation>Копировать hex</translation>
    </message>
    <message>
        <source>Copy text</source>
        <translation>Копировать текст</translation>
    </message>
    <message>
        <source>Empty file</source>
        <translation>Пустой файл</translation>
    </message>
    <message>
        <source>Offset 0x%1 (%2)</source>
        <translation>Смещение 0x%1 (%2)</translation>
    </message>
    <message>
        <source>block %1, header</source>
        <translation>блок %1, заголовок</translation>
    </message>
    <message>
        <source>block %1, record %2, field %3</source>
        <translation>блок %1, запись %2, поле %3</translation>
    </message>
    <message>
        <source>after the last whole block</source>
        <translation>за последним целым блоком</translation>
    </message>
    <message>
        <source>%1 selected</source>
        <translation>выделено: %1</translation>
    </message>
    <message>
        <source>No code table &quot;ebcdic-ascii&quot;: EBCDIC is shown as hex only</source>
        <translation>Нет кодовой таблицы &quot;ebcdic-ascii&quot;: EBCDIC показан только в hex</translation>
    </message>
    <message>
        <source>Selection too large to copy (at most 16 MiB)</source>
        <translation>Выделено слишком много для копирования (не более 16 МиБ)</translation>
    </message>
    <message>
        <source>Cannot reload: %1</source>
        <translation>Не удалось перечитать: %1</translation>
    </message>
</context>
<context>
    <name>Counts</name>
    <message>
        <source>en_US</source>
        <extracomment>The locale whose digit grouping the sizes take: ru_RU for Russian.</extracomment>
        <translation>ru_RU</translation>
    </message>
</context>
<context>
    <name>EngineWords</name>
    <message>
        <source>no field number (expected N OP VALUE, N from 1 to 14)</source>
        <translation>нет номера поля (ожидается N ОП ЗНАЧЕНИЕ, N от 1 до 14)</translation>
    </message>
    <message>
        <source>field %1 is outside 1-14</source>
        <translation>поле %1 вне 1–14</translation>
    </message>
    <message>
        <source>no operator (one of = != &lt; &lt;= &gt; &gt;= ^= *=)</source>
        <translation>нет операции (одна из = != &lt; &lt;= &gt; &gt;= ^= *=)</translation>
    </message>
    <message>
        <source>a value cannot hold &quot;;&quot;, which separates conditions</source>
        <translation>значение не может содержать &quot;;&quot;: он разделяет условия</translation>
    </message>
    <message>
        <source>a value after &quot;%1&quot; cannot begin with &quot;=&quot;, which would make the operator &quot;%1=&quot;</source>
        <translation>значение после &quot;%1&quot; не может начинаться с &quot;=&quot;: операция стала бы &quot;%1=&quot;</translation>
    </message>
    <message>
        <source>condition &quot;%1&quot;: %2</source>
        <translation>условие &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>%1 (read as &quot;%2&quot;)</source>
        <translation>%1 (читается как &quot;%2&quot;)</translation>
    </message>
    <message numerus="yes">
        <source>field %1 holds %n character(s)</source>
        <translation>
            <numerusform>в поле %1 %n символ</numerusform>
            <numerusform>в поле %1 %n символа</numerusform>
            <numerusform>в поле %1 %n символов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>condition &apos;%1&apos; can never match: %2, the value %3 has %n character(s)</source>
        <translation>
            <numerusform>условие &apos;%1&apos; никогда не выполнится: %2, а в значении %3 %n символ</numerusform>
            <numerusform>условие &apos;%1&apos; никогда не выполнится: %2, а в значении %3 %n символа</numerusform>
            <numerusform>условие &apos;%1&apos; никогда не выполнится: %2, а в значении %3 %n символов</numerusform>
        </translation>
    </message>
    <message>
        <source>date</source>
        <translation>дата</translation>
    </message>
    <message>
        <source>date %1</source>
        <translation>дата %1</translation>
    </message>
    <message>
        <source>time</source>
        <translation>время</translation>
    </message>
    <message>
        <source>time %1</source>
        <translation>время %1</translation>
    </message>
    <message>
        <source>4 binary bytes in hex</source>
        <translation>4 двоичных байта в hex</translation>
    </message>
    <message>
        <source>4 binary bytes, hex %1</source>
        <translation>4 двоичных байта, hex %1</translation>
    </message>
    <message>
        <source>digits</source>
        <translation>цифры</translation>
    </message>
    <message>
        <source>text</source>
        <translation>текст</translation>
    </message>
    <message>
        <source>%1, value %2</source>
        <translation>%1, значение %2</translation>
    </message>
    <message numerus="yes">
        <source>%1: must hold 14 non-empty lines, one field name each; it holds %n</source>
        <translation>
            <numerusform>%1: должен содержать 14 непустых строк, по имени поля в каждой; в нём %n строка</numerusform>
            <numerusform>%1: должен содержать 14 непустых строк, по имени поля в каждой; в нём %n строки</numerusform>
            <numerusform>%1: должен содержать 14 непустых строк, по имени поля в каждой; в нём %n строк</numerusform>
        </translation>
    </message>
    <message>
        <source>a date, MMDD or MM/DD, for example %1 or %2</source>
        <translation>дату, ММДД или ММ/ДД, например %1 или %2</translation>
    </message>
    <message>
        <source>a time, hhmmss or hh:mm:ss, for example %1 or %2</source>
        <translation>время, ччммсс или чч:мм:сс, например %1 или %2</translation>
    </message>
    <message>
        <source>4 binary bytes as 8 hex digits, for example %1</source>
        <translation>4 двоичных байта как 8 шестнадцатеричных цифр, например %1</translation>
    </message>
    <message numerus="yes">
        <source>%n digit(s), for example %1</source>
        <translation>
            <numerusform>%n цифру, например %1</numerusform>
            <numerusform>%n цифры, например %1</numerusform>
            <numerusform>%n цифр, например %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n digit(s) padded with F, for example %1</source>
        <translation>
            <numerusform>%n цифру, дополненную F, например %1</numerusform>
            <numerusform>%n цифры, дополненные F, например %1</numerusform>
            <numerusform>%n цифр, дополненных F, например %1</numerusform>
        </translation>
    </message>
    <message>
        <source>field %1 holds %2</source>
        <translation>поле %1 содержит %2</translation>
    </message>
    <message>
        <source>%1, or with ^= and *= a part of one</source>
        <translation>%1, а с ^= и *= — часть такого значения</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export the selection — MAVIK</source>
        <translation>Сохранение выборки — MAVIK</translation>
    </message>
    <message>
        <source>The selected lines as they stand</source>
        <translation>Выбранные строки как есть</translation>
    </message>
    <message>
        <source>Text lines, as the converter writes them</source>
        <translation>Текстовые строки, как их пишет преобразование</translation>
    </message>
    <message>
        <source>CSV for spreadsheets (UTF-8, header row)</source>
        <translation>CSV для электронных таблиц (UTF-8, строка заголовков)</translation>
    </message>
    <message>
        <source>Форматировать</source>
        <translation>Форматировать</translation>
    </message>
    <message>
        <source>Separator:</source>
        <translation>Разделитель:</translation>
    </message>
</context>
<context>
    <name>GoToBar</name>
    <message>
        <source>Go to:</source>
        <translation>Перейти к:</translation>
    </message>
</context>
<context>
    <name>IOError</name>
    <message>
        <source>File not found: %1</source>
        <translation>Файл не найден: %1</translation>
    </message>
    <message>
        <source>Invalid filename: %1</source>
        <translation>Недопустимое имя файла: %1</translation>
    </message>
    <message>
        <source>Too many open files: %1</source>
        <translation>Слишком много открытых файлов: %1</translation>
    </message>
    <message>
        <source>File access denied: %1</source>
        <translation>Нет доступа к файлу: %1</translation>
    </message>
    <message>
        <source>I/O error %1: %2</source>
        <translation>Ошибка ввода-вывода %1: %2</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>no space left on the disk</source>
        <translation>нет места на диске</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>дисковая квота исчерпана</translation>
    </message>
    <message>
        <source>the device failed to read or write</source>
        <translation>устройство не смогло прочитать или записать данные</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>это папка, а не файл</translation>
    </message>
    <message>
        <source>the file system is read-only</source>
        <translation>файловая система только для чтения</translation>
    </message>
    <message>
        <source>the file is too large</source>
        <translation>файл слишком велик</translation>
    </message>
    <message>
        <source>no such device</source>
        <translation>нет такого устройства</translation>
    </message>
    <message>
        <source>a part of the path is not a folder</source>
        <translation>часть пути — не папка</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>слишком длинное имя</translation>
    </message>
    <message>
        <source>too many symbolic links</source>
        <translation>слишком много символических ссылок</translation>
    </message>
</context>
<context>
    <name>RecordBrowser</name>
    <message>
        <source>EBCDIC call records</source>
        <translation>записи о вызовах в EBCDIC</translation>
    </message>
    <message>
        <source>ASCII call records</source>
        <translation>записи о вызовах в ASCII</translation>
    </message>
    <message>
        <source>formatted lines, separator %1</source>
        <translation>форматированные строки, разделитель %1</translation>
    </message>
    <message>
        <source>raw field lines, separator %1</source>
        <translation>строки полей без форматирования, разделитель %1</translation>
    </message>
    <message>
        <source>%1 — MAVIK</source>
        <translation>%1 — MAVIK</translation>
    </message>
    <message numerus="yes">
        <source>%n records, %1</source>
        <translation>
            <numerusform>%n запись, %1</numerusform>
            <numerusform>%n записи, %1</numerusform>
            <numerusform>%n записей, %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Conditions N OP VALUE separated by &quot;;&quot;, e.g. 5=0712; 6&gt;=120000</source>
        <translation>Условия N ОП ЗНАЧЕНИЕ через &quot;;&quot;, например 5=0712; 6&gt;=120000</translation>
    </message>
    <message>
        <source>Field %1</source>
        <translation>Поле %1</translation>
    </message>
    <message>
        <source>value</source>
        <translation>значение</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Export…</source>
        <translation>Сохранить…</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Поле</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Текст</translation>
    </message>
    <message>
        <source>Holds</source>
        <translation>Содержит</translation>
    </message>
    <message>
        <source>Condition:</source>
        <translation>Условие:</translation>
    </message>
    <message>
        <source>Selection:</source>
        <translation>Выборка:</translation>
    </message>
    <message>
        <source>The value holds a character the output files cannot hold.</source>
        <translation>В значении есть знак, которого не может быть в выходных файлах.</translation>
    </message>
    <message>
        <source>The selection holds a character the output files cannot hold.</source>
        <translation>В выборке есть знак, которого не может быть в выходных файлах.</translation>
    </message>
    <message numerus="yes">
        <source>All %n records</source>
        <translation>
            <numerusform>Всего %n запись</numerusform>
            <numerusform>Всего %n записи</numerusform>
            <numerusform>Всего %n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>Selecting…</source>
        <translation>Выборка…</translation>
    </message>
    <message numerus="yes">
        <source>Selecting… %n matches so far</source>
        <translation>
            <numerusform>Выборка… пока найдена %n запись</numerusform>
            <numerusform>Выборка… пока найдено %n записи</numerusform>
            <numerusform>Выборка… пока найдено %n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>Selection failed: %1</source>
        <translation>Выборка не удалась: %1</translation>
    </message>
    <message>
        <source>Selection cancelled; the table shows what it showed before.</source>
        <translation>Выборка отменена; в таблице то же, что и прежде.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n records selected</source>
        <translation>
            <numerusform>Выбрано %1 из %n записи</numerusform>
            <numerusform>Выбрано %1 из %n записей</numerusform>
            <numerusform>Выбрано %1 из %n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>Exporting to %1…</source>
        <translation>Сохранение в %1…</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Сохранить не удалось: %1</translation>
    </message>
    <message>
        <source>Export cancelled; nothing was written.</source>
        <translation>Сохранение отменено; ничего не записано.</translation>
    </message>
    <message numerus="yes">
        <source>%n records exported to %1</source>
        <translation>
            <numerusform>%n запись сохранена в %1</numerusform>
            <numerusform>%n записи сохранены в %1</numerusform>
            <numerusform>%n записей сохранено в %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Conditions N OP VALUE separated by &quot;;&quot;, e.g. 5=07/12; 6&gt;=12:00:00</source>
        <translation>Условия N ОП ЗНАЧЕНИЕ через &quot;;&quot;, например 5=07/12; 6&gt;=12:00:00</translation>
    </message>
</context>
<context>
    <name>TMAVIKForm</name>
    <message>
        <source>%1 (the folder %2 does not exist)</source>
        <translation>%1 (папки %2 не существует)</translation>
    </message>
    <message>
        <source>%1 (it is the input file)</source>
        <translation>%1 (это входной файл)</translation>
    </message>
    <message numerus="yes">
        <source>The last %n bytes (from offset %1) are not a whole 2048-byte block and were not converted.</source>
        <translation>
            <numerusform>Последний %n байт (со смещения %1) не составляет целого блока в 2048 байт и не преобразован.</numerusform>
            <numerusform>Последние %n байта (со смещения %1) не составляют целого блока в 2048 байт и не преобразованы.</numerusform>
            <numerusform>Последние %n байт (со смещения %1) не составляют целого блока в 2048 байт и не преобразованы.</numerusform>
        </translation>
    </message>
    <message>
        <source>The conversion was stopped by the user.</source>
        <translation>Преобразование прервано пользователем.</translation>
    </message>
    <message>
        <source>The records of the input look like ASCII, not EBCDIC: choose the input type Alcatel S12 ASCII.</source>
        <translation>Записи входного файла похожи на ASCII, а не на EBCDIC: выберите тип входного файла «Alcatel S12 ASCII».</translation>
    </message>
    <message>
        <source>The records of the input look like EBCDIC, not ASCII: choose the input type Alcatel S12 EBCDIC.</source>
        <translation>Записи входного файла похожи на EBCDIC, а не на ASCII: выберите тип входного файла «Alcatel S12 EBCDIC».</translation>
    </message>
    <message>
        <source>The input looks like a text output of MAVIK, not call records.</source>
        <translation>Входной файл похож на текстовый результат MAVIK, а не на записи о вызовах.</translation>
    </message>
    <message>
        <source>The input does not look like call records: neither EBCDIC nor ASCII digits make up its first blocks.</source>
        <translation>Входной файл не похож на записи о вызовах: его первые блоки не состоят из цифр ни EBCDIC, ни ASCII.</translation>
    </message>
</context>
<context>
    <name>TextRowsView</name>
    <message>
        <source> ⟩⟩ line cut</source>
        <translation> ⟩⟩ строка обрезана</translation>
    </message>
    <message>
        <source>Line   Text (%1)</source>
        <translation>Строка Текст (%1)</translation>
    </message>
</context>
<context>
    <name>TextViewerWindow</name>
    <message>
        <source>Find:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>С учётом регистра</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Дальше</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>line number</source>
        <translation>номер строки</translation>
    </message>
    <message>
        <source>Not a line number</source>
        <translation>Это не номер строки</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Go to line</source>
        <translation>Перейти к строке</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Found at line %1</source>
        <translation>Найдено в строке %1</translation>
    </message>
    <message>
        <source>Find cancelled</source>
        <translation>Поиск отменён</translation>
    </message>
    <message>
        <source>Not found above: &quot;%1&quot;</source>
        <translation>Выше не найдено: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Not found below: &quot;%1&quot;</source>
        <translation>Ниже не найдено: &quot;%1&quot;</translation>
    </message>
    <message numerus="yes">
        <source>%n lines</source>
        <translation>
            <numerusform>%n строка</numerusform>
            <numerusform>%n строки</numerusform>
            <numerusform>%n строк</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Indexing %1%: %n lines so far</source>
        <translation>
            <numerusform>Разметка %1%: пока %n строка</numerusform>
            <numerusform>Разметка %1%: пока %n строки</numerusform>
            <numerusform>Разметка %1%: пока %n строк</numerusform>
        </translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>строка %1</translation>
    </message>
    <message>
        <source>Finding %1% (Esc cancels)</source>
        <translation>Поиск %1% (Esc — отмена)</translation>
    </message>
    <message>
        <source>Nothing to find</source>
        <translation>Не задано, что искать</translation>
    </message>
    <message>
        <source>Not in this file&apos;s encoding</source>
        <translation>Этого нет в кодировке файла</translation>
    </message>
    <message>
        <source>Selection too large to copy</source>
        <translation>Выделено слишком много для копирования</translation>
    </message>
    <message>
        <source>Cannot reload: %1</source>
        <translation>Не удалось перечитать: %1</translation>
    </message>
</context>
<context>
    <name>ViewerFrame</name>
    <message>
        <source>%1 — MAVIK</source>
        <translation>%1 — MAVIK</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Просмотр</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Перечитать</translation>
    </message>
</context>
</TS>
