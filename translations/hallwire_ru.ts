<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>TDesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
</context>
<context>
    <name>hw::ShownText</name>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Не удаётся открыть файл %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Не удаётся создать файл %1</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Ошибка записи в поток</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>Текст превышает ёмкость поля</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Не удаётся записать в %1</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>Нет открытого устройства MCI</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Недопустимый тип данных для «%1»</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Не удалось задать данные для «%1»</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«%1» не является допустимым целым числом</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>Сообщение слишком длинное для отправки: вместе с именем отправителя оно занимает %1 байт, а отправить можно не более %2 (буква не из английского алфавита занимает два байта или больше)</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>Ни один сетевой интерфейс не включён: сообщения доходят только до этого компьютера, пока какой-либо не включится.</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>Сеть снова доступна (%1).</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>Некоторые адреса удалённых анонсов в настройках нельзя использовать: «%1». Укажите адреса IPv4, каждый с необязательной /РАБОЧЕЙ_ГРУППОЙ.</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>Некоторые серверы WINS в настройках нельзя использовать: «%1». Укажите адреса IPv4 через запятую.</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>Список удалённых анонсов «%1» нельзя использовать: укажите адреса IPv4 через запятую, каждый с необязательной /РАБОЧЕЙ_ГРУППОЙ</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>Список серверов WINS «%1» нельзя использовать: укажите адреса IPv4 через запятую</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>Имя рабочей группы «%1» нельзя использовать: имя рабочей группы содержит от 1 до 15 символов и ни одного из \ / : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>Порт датаграмм %1 (UDP) нельзя использовать: для портов ниже 1024 нужны права (root или возможность CAP_NET_BIND_SERVICE). Сообщения с других компьютеров не смогут прийти.</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>Порт датаграмм %1 (UDP) нельзя использовать: его заняла другая программа, которая не делит его с другими. Сообщения с других компьютеров не смогут прийти.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>Порт имён %1 (UDP) нельзя использовать: для портов ниже 1024 нужны права (root или возможность CAP_NET_BIND_SERVICE). Другие компьютеры не смогут найти этот компьютер по имени.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>Порт имён %1 (UDP) нельзя использовать: его заняла другая программа, которая не делит его с другими. Другие компьютеры не смогут найти этот компьютер по имени.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>В сети есть повторяющееся имя: компьютер с адресом %1 тоже использует имя %2. Сообщения для %3 могут попасть на любой из двух компьютеров; дайте одному из них другое имя.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>В сети есть повторяющееся имя: другой компьютер использует имя %1. Сообщения для %2 могут попасть на любой из двух компьютеров; дайте одному из них другое имя.</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>Файл реестра %1 был повреждён; он отложен как %2, и начат новый.</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Сборка %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>Сообщения для вашей локальной сети,</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>без сервера между вами.</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>Вопросы и сообщения об ошибках:</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>трекер задач проекта Hallwire</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;ОК</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>Название и версия программы и куда обращаться с вопросами</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Изображение Hallwire</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>Изображение программы</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>Название и версия программы</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>Номер сборки программы</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>Закрывает это окно</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>Пока было открыто последнее окно, пришла ещё 1 ошибка; это самая новая</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>Пока было открыто последнее окно, пришла ещё %n ошибка; это самая новая</numerusform>
            <numerusform>Пока было открыто последнее окно, пришли ещё %n ошибки; это самая новая</numerusform>
            <numerusform>Пока было открыто последнее окно, пришло ещё %n ошибок; это самая новая</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::TQtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>Подтверждение</translation>
    </message>
</context>
<context>
    <name>hw::TmainForm</name>
    <message>
        <source>Hallwire Files</source>
        <translation>Файлы Hallwire</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Текстовые файлы</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Параметры</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>&amp;Загрузить сообщения</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>&amp;Сохранить сообщения</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Вырезать</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Вырезать</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Вст&amp;авить</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Содержание</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>&amp;Поиск в справке...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>&amp;Как пользоваться справкой</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;О программе...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>&amp;Показать сообщение</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Отпр.</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>Отправить сообщение</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>&amp;Настр.</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>Оч&amp;ист.</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>Очистить окно чата</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>&amp;Звук</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Звук</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>Обно&amp;в.</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>Обновить список сети</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>ВСТ</translation>
    </message>
    <message>
        <source>CAPS</source>
        <translation>CAPS</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>%1 / User (%2)</source>
        <translation>%1 / Пользователь (%2)</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>Вы действительно хотите закрыть Hallwire?</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>Сначала выберите получателя</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>Сохранить сообщение</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>Открыть сообщение</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Вставка</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Caps Lock</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>Num Lock</translation>
    </message>
    <message>
        <source>%1 on</source>
        <translation>%1: включено</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1: выключено</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>Отправляет сообщения компьютерам и рабочим группам локальной сети</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Заголовок</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>Заголовок окна; щелчок правой кнопкой открывает меню окна</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Строка меню</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>Меню «Файл», «Правка» и «Справка»</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>Кнопки отправки, параметров, очистки, звука и обновления</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>Отправляет сообщение из окна ввода выбранному получателю (Alt+О)</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>Открывает параметры: цвета, звуки и настройки (Alt+Н)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>Очищает окно чата (Alt+И)</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>Включает или выключает звуки входящих сообщений (Alt+З)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>Заново считывает компьютеры и рабочие группы сети (Alt+В)</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>Разделитель чата</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>Отделяет получателей и окно ввода от окна чата</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>Разделитель получателей</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>Отделяет дерево получателей от окна ввода</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Получатели</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>Рабочая группа и компьютеры сети; выберите получателя клавишами со стрелками, пробелом или Enter либо щелчком</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Сообщение</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>Сообщение для отправки; Tab — выйти из поля, Ctrl+Tab — вставить табуляцию</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Чат</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>Отправленные и полученные сообщения, сначала самые старые</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Строка состояния</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>Этот компьютер и пользователь, сетевые уведомления и клавиши Insert, Caps Lock и Num Lock</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>Этот компьютер и пользователь или сетевое уведомление</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>Режим клавиши Insert</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>Состояние клавиши Caps Lock</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>Состояние клавиши Num Lock</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Не используется</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>Проверено: подписано ключом, закреплённым за этим отправителем
Отпечаток ключа: %1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>подпись не соответствует строке</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>подписана другим ключом, а не закреплённым за этим отправителем</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>копия ранее полученной строки (повтор)</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>подпись обрезана или повреждена</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>в строке не указан отправитель</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>не проверена: слишком много подписанных строк пришло одновременно</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>ПОДДЕЛКА: эта строка, возможно, пришла не от указанного в ней отправителя (%1)</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
Отпечаток ключа: %1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Новое сообщение</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n сообщение ожидает</numerusform>
            <numerusform>%n сообщения ожидают</numerusform>
            <numerusform>%n сообщений ожидают</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>Сеть</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>Эти настройки важнее переменных окружения и конфигурации Samba на компьютере. Оставьте поле пустым, чтобы использовать их.</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>Серверы &amp;WINS:</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>&amp;Удалённые анонсы:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;ОК</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>О&amp;тмена</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>Серверы WINS должны быть адресами IPv4, разделёнными запятыми</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>Каждый адрес удалённого анонса должен быть адресом IPv4 с необязательной /РАБОЧЕЙ_ГРУППОЙ</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>Серверы WINS</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>Адреса IPv4 серверов WINS через запятую; пусто — из окружения или Samba</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>Удалённые анонсы</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>Подсети, в которых анонсировать этот компьютер: адреса, каждый с необязательной /РАБОЧЕЙ_ГРУППОЙ; пусто — из Samba</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>Проверяет и сохраняет сетевые настройки и закрывает страницу</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>Закрывает страницу без сохранения</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>Собственные сетевые настройки этого пользователя</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>Показывать уведомление на &amp;рабочем столе о сообщениях, пришедших при скрытом окне</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>У этой программы нет ключа подписи: её строки отправляются без подписи.</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>Отпечаток вашего ключа: %1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>&amp;Закреплённые ключи (сверьте отпечаток с его владельцем, прежде чем доверять ему):</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>За&amp;быть ключ</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>Забыть ключ выбранного отправителя, например после переустановки: будет закреплён следующий ключ, которым он подпишет</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>Закреплённые ключи</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>Ключи подписи других пользователей, каждый закреплён по первой подписанной им строке, с отпечатком</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>Забывает выбранный ключ при нажатии ОК</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>Показывает текст сообщения, пришедшего при скрытом или свёрнутом окне, в уведомлении на рабочем столе</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>Не удалось записать закреплённые ключи в %1</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>Окно ввода</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>Цвет текста</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Цвет фона</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>Окно чата</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>Цвет текста</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>Копировать настройки в окно чата</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>Копировать настройки в окно ввода</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>Запуск</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>Автозапуск</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>При следующем входе</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>Звуковые файлы</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>Входящие &amp;&amp; свёрнуто</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>Файлы WAV</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>Выберите звук для свёрнутого окна ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>Все входящие</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>Выберите звук для всех входящих...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>Звук</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>Со звуком</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>Только входящие &amp;&amp; свёрнуто</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>Уведомление о сообщении</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>Открывать окно</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>Клавиатура</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>Отправлять клавишей Enter (вместо Alt+О или кнопки)</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>&amp;Исходные</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Восстановить настройки по умолчанию</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>&amp;Сеть...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>Серверы WINS и удалённые подсети</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;ОК</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>О&amp;тмена</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Применить</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>Цвета окон сообщений, звуки, уведомление и параметры клавиатуры</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>Цвет текста окна ввода</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>Цвет текста в окне ввода</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>Цвет фона окна ввода</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>Цвет под текстом в окне ввода</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>Цвет текста окна чата</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>Цвет текста в окне чата</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>Цвет фона окна чата</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>Цвет под текстом в окне чата</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>Скопировать в окно чата</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>Применяет к окну чата цвета окна ввода</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>Скопировать в окно ввода</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>Применяет к окну ввода цвета окна чата</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>Запускает Hallwire при каждом входе в систему</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>Запускает Hallwire один раз, при следующем входе в систему</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>Звуковой файл для входящих при свёрнутом окне</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>WAV-файл, воспроизводимый, когда сообщение приходит при скрытом окне</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>Выбрать звук для входящих при свёрнутом окне</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>Открывает диалог выбора WAV-файла (то же делает Alt+Стрелка вниз в поле)</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>Звуковой файл для всех входящих</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>WAV-файл, воспроизводимый, когда сообщение приходит при открытом окне, а также при запуске</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>Выбрать звук для всех входящих</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>Воспроизводит звук при получении сообщения</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>Воспроизводит звук только для сообщений, пришедших при скрытом окне</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>Открывает окно, если сообщение пришло, когда оно скрыто</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>Enter отправляет сообщение; без этого Enter начинает новую строку</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>Возвращает цвета, звуковые файлы и параметры к исходным значениям</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>Открывает страницу серверов WINS и удалённых подсетей</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>Сохраняет настройки и закрывает диалог</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>Закрывает диалог без сохранения</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>Чёрный</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Тёмно-бордовый</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Зелёный</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Оливковый</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Тёмно-синий</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Фиолетовый</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Сине-зелёный</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Серый</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Серебристый</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Красный</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Лаймовый</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Жёлтый</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Синий</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Фуксия</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Голубой</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Белый</translation>
    </message>
</context>
</TS>
