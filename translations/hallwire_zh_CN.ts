<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>TDesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
</context>
<context>
    <name>hw::ShownText</name>
    <message>
        <source>Unknown error</source>
        <translation>未知错误。</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>无法打开文件 %1。</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>无法创建文件 %1。</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>写入数据流时出错。</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>文本超出了文本框的容量。</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>无法写入 %1。</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>没有打开的 MCI 设备。</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>“%1”的数据类型无效。</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>无法设置“%1”的数据。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>“%1”不是有效的整数值。</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>消息太长，无法发送：加上发送者的名字共 %1 字节，最多只能发送 %2 字节（英文以外的字母占两个或更多字节）。</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>没有已启用的网络接口：在有接口启用之前，消息只能到达本机。</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>网络已恢复（%1）。</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>设置中的部分远程通告目标无法使用：“%1”。请填写 IPv4 地址，每个地址可附带 /工作组。</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>设置中的部分 WINS 服务器无法使用：“%1”。请填写以逗号分隔的 IPv4 地址。</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>远程通告列表“%1”无法使用：请填写以逗号分隔的 IPv4 地址，每个地址可附带 /工作组。</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>WINS 服务器列表“%1”无法使用：请填写以逗号分隔的 IPv4 地址。</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>工作组名称“%1”无法使用：工作组名称为 1 到 15 个字符，且不能含有 \ / : * ? &quot; &lt; &gt; |。</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>数据报端口 %1（UDP）无法使用：1024 以下的端口需要特权（root 或 CAP_NET_BIND_SERVICE 能力）。其他计算机的消息无法到达。</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>数据报端口 %1（UDP）无法使用：另一个程序占用了它，且不与他人共享。其他计算机的消息无法到达。</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>名称端口 %1（UDP）无法使用：1024 以下的端口需要特权（root 或 CAP_NET_BIND_SERVICE 能力）。其他计算机无法通过名称找到本机。</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>名称端口 %1（UDP）无法使用：另一个程序占用了它，且不与他人共享。其他计算机无法通过名称找到本机。</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>网络上存在重复的名称：位于 %1 的计算机也在使用名称 %2。发给 %3 的消息可能到达其中任一台计算机；请为其中一台改名。</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>网络上存在重复的名称：另一台计算机在使用名称 %1。发给 %2 的消息可能到达其中任一台计算机；请为其中一台改名。</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>注册表文件 %1 已损坏；已将其另存为 %2，并新建了一个。</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>构建版本 %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>为您的局域网传递消息，</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>中间无需任何服务器。</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>问题与报告：</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>Hallwire 项目的问题跟踪器</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>程序的名称、版本以及提问的地方</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Hallwire 图片</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>程序的图片</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>程序的名称和版本</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>程序的构建号</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>关于本程序</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>关闭此对话框</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>上一个对话框打开期间又出现了 1 个错误；这是最新的一个。</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>上一个对话框打开期间又出现了 %n 个错误；这是最新的一个。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::TQtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
</context>
<context>
    <name>hw::TmainForm</name>
    <message>
        <source>Hallwire Files</source>
        <translation>Hallwire 文件</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>文本文件</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>首选项(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>载入消息(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>保存消息(&amp;S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>目录(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>搜索帮助(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>如何使用帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>关于(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>查看消息(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>发送(&amp;S)</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>发送消息</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>设置(&amp;P)</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>清除(&amp;C)</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>清空聊天窗口</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>声音(&amp;O)</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>声音</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>刷新(&amp;R)</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>刷新网络列表</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>插入</translation>
    </message>
    <message>
        <source>CAPS</source>
        <translation>大写</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>%1 / User (%2)</source>
        <translation>%1 / 用户（%2）</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>确定要关闭 Hallwire 吗？</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>您必须先选择一个收件人</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>保存消息</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>打开消息</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>插入</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>大写锁定</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>数字锁定</translation>
    </message>
    <message>
        <source>%1 on</source>
        <translation>%1：开</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1：关</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>向本地网络中的计算机和工作组发送消息</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>窗口标题；右键单击可打开窗口菜单</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>菜单栏</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>“文件”、“编辑”和“帮助”菜单</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>用于发送、首选项、清除、声音和刷新的按钮</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>将输入窗口中的消息发送给所选收件人（Alt+S）</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>打开首选项：颜色、声音和选项（Alt+P）</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>清空聊天窗口（Alt+C）</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>打开或关闭来信提示音（Alt+O）</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>重新读取网络中的计算机和工作组（Alt+R）</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>聊天分隔条</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>将收件人和输入窗口与聊天窗口分隔开</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>收件人分隔条</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>将收件人树与输入窗口分隔开</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>收件人</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>网络中的工作组和计算机；用方向键、空格键或 Enter 键，或单击来选择收件人</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>要发送的消息；Tab 键离开此框，Ctrl+Tab 输入制表符</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>聊天</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>已发送和已接收的消息，最早的在前</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>状态栏</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>本机和用户、网络通知，以及 Insert、Caps Lock 和 Num Lock 键</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>本机和用户，或一条网络通知</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>Insert 键的模式</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>Caps Lock 键的锁定状态</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>Num Lock 键的锁定状态</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>未使用</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>已验证：使用为此发件人固定的密钥签名
密钥指纹：%1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>签名与该行不符</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>所用密钥不是为此发件人固定的密钥</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>是之前收到的某行的副本（重放）</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>签名被截断或格式错误</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>该行未注明发件人</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>未检查：同时到达的已签名行过多</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>伪造：此行可能并非来自其注明的发件人（%1）</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
密钥指纹：%1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>新消息</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n 条消息待读</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>这些设置优先于环境变量和本机的 Samba 配置。某个框留空时即使用后者。</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>WINS 服务器(&amp;W)：</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>远程通告(&amp;R)：</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>WINS 服务器必须是以逗号分隔的 IPv4 地址。</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>每个远程通告目标必须是一个 IPv4 地址，可附带 /工作组。</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>WINS 服务器</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>WINS 服务器的 IPv4 地址，以逗号分隔；留空：使用环境变量或 Samba 的设置</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>远程通告</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>要向其通告本机的子网：地址，每个可附带 /工作组；留空：使用 Samba 的设置</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>检查并保存网络设置，然后关闭此页</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>关闭此页而不保存</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>此用户自己的网络设置</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>窗口隐藏时收到消息则显示桌面通知(&amp;N)</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>本程序没有签名密钥：其发出的行均未签名。</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>您的密钥指纹：%1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>已固定的密钥(&amp;P)（信任某个指纹前，请先与其所有者核对）：</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>忘记密钥(&amp;F)</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>忘记所选发件人的密钥（例如在其重新安装后）：其下次签名所用的密钥将被固定</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>已固定的密钥</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>其他用户的签名密钥，各自在其签名的第一行时被固定，并附有指纹</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>按“确定”时忘记所选密钥</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>窗口隐藏或最小化时收到消息，在桌面通知中显示其文本</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>无法将已固定的密钥写入 %1</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>首选项</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>输入窗口设置</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>前景色</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>背景色</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>聊天窗口设置</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>前景色</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>将设置复制到聊天窗口</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>将设置复制到输入窗口</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>启动选项</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>下次登录时启动</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>声音文件</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>来信 &amp;&amp; 最小化时</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>Wave 文件</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>选择最小化时的来信声音 ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>所有来信</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>选择所有来信的声音...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>声音选项</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>仅在来信 &amp;&amp; 最小化时</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>消息通知</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>打开消息窗口</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>键盘选项</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>用 Enter 键代替 Alt+S 或点击按钮发送消息</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>默认值(&amp;E)</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>恢复默认设置</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>网络(&amp;N)...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>WINS 服务器和远程子网</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>应用(&amp;A)</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>消息框的颜色、声音、通知和键盘选项</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>输入窗口文字颜色</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>输入窗口中文字的颜色</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>输入窗口背景颜色</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>输入窗口中文字背后的颜色</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>聊天窗口文字颜色</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>聊天窗口中文字的颜色</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>聊天窗口背景颜色</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>聊天窗口中文字背后的颜色</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>复制到聊天窗口</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>让聊天窗口使用输入窗口的颜色</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>复制到输入窗口</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>让输入窗口使用聊天窗口的颜色</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>每次登录时启动 Hallwire</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>在您下次登录时启动 Hallwire 一次</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>来信且最小化时的声音文件</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>窗口隐藏时收到消息所播放的 WAV 文件</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>浏览来信且最小化时的声音</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>打开文件对话框以选择 WAV 文件（在字段中按 Alt+下箭头 效果相同）</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>所有来信的声音文件</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>窗口显示时收到消息以及启动时播放的 WAV 文件</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>浏览所有来信的声音</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>收到消息时播放声音</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>仅在窗口隐藏时收到消息才播放声音</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>窗口隐藏时收到消息则打开窗口</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>按 Enter 键发送消息；不勾选时 Enter 键换行</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>将颜色、声音文件和选项恢复为初始值</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>打开 WINS 服务器和远程子网页面</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>保存设置并关闭对话框</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>关闭对话框而不保存</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>栗色</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>橄榄色</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>藏青色</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>紫色</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>蓝绿色</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>灰色</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>银色</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>青柠色</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>黄色</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>紫红色</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>水绿色</translation>
    </message>
    <message>
        <source>White</source>
        <translation>白色</translation>
    </message>
</context>
</TS>
