<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>TDesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
</context>
<context>
    <name>hw::ShownText</name>
    <message>
        <source>Unknown error</source>
        <translation>Erro desconhecido</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Não é possível abrir o arquivo %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Não é possível criar o arquivo %1</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Erro ao gravar no fluxo</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>O texto excede a capacidade da caixa de texto</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Não é possível gravar em %1</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>Nenhum dispositivo MCI aberto</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Tipo de dados inválido para &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Falha ao definir os dados de &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&quot;%1&quot; não é um valor inteiro válido</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>A mensagem é longa demais para enviar: com o nome do remetente ela ocupa %1 bytes, e no máximo %2 podem ser enviados (uma letra fora do alfabeto inglês ocupa dois bytes ou mais)</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>Nenhuma interface de rede está ativa: as mensagens só chegam a este computador até que uma esteja.</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>A rede voltou (%1).</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>Alguns destinos de anúncio remoto nas configurações não podem ser usados: &quot;%1&quot;. Informe endereços IPv4, cada um com um /GRUPO opcional.</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>Alguns servidores WINS nas configurações não podem ser usados: &quot;%1&quot;. Informe endereços IPv4 separados por vírgulas.</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>A lista de anúncio remoto &quot;%1&quot; não pode ser usada: informe endereços IPv4, cada um com um /GRUPO opcional, separados por vírgulas</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>A lista de servidores WINS &quot;%1&quot; não pode ser usada: informe endereços IPv4 separados por vírgulas</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>O nome do grupo de trabalho &quot;%1&quot; não pode ser usado: um nome de grupo de trabalho tem de 1 a 15 caracteres e nenhum destes: \ / : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>A porta de datagramas %1 (UDP) não pode ser usada: portas abaixo de 1024 exigem privilégio (root ou a capacidade CAP_NET_BIND_SERVICE). Mensagens de outros computadores não podem chegar.</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>A porta de datagramas %1 (UDP) não pode ser usada: outro programa a ocupa e não a compartilha. Mensagens de outros computadores não podem chegar.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>A porta de nomes %1 (UDP) não pode ser usada: portas abaixo de 1024 exigem privilégio (root ou a capacidade CAP_NET_BIND_SERVICE). Outros computadores não conseguem encontrar este computador pelo nome.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>A porta de nomes %1 (UDP) não pode ser usada: outro programa a ocupa e não a compartilha. Outros computadores não conseguem encontrar este computador pelo nome.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>Existe um nome duplicado na rede: o computador em %1 também usa o nome %2. Mensagens para %3 podem chegar a qualquer um dos dois computadores; dê outro nome a um deles.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>Existe um nome duplicado na rede: outro computador usa o nome %1. Mensagens para %2 podem chegar a qualquer um dos dois computadores; dê outro nome a um deles.</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>O arquivo de registro %1 estava danificado; ele foi posto de lado como %2 e um novo foi iniciado.</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Compilação %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>Mensagens para a sua rede local,</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>sem nenhum servidor no meio.</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>Dúvidas e relatos:</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>o rastreador de problemas do projeto Hallwire</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>O nome e a versão do programa e onde fazer perguntas</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Imagem do Hallwire</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>A imagem do programa</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>O nome e a versão do programa</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>O número de compilação do programa</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>Sobre o programa</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>Fecha esta caixa</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>Chegou mais 1 erro enquanto a última caixa estava aberta; este é o mais recente</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>Chegou mais %n erro enquanto a última caixa estava aberta; este é o mais recente</numerusform>
            <numerusform>Chegaram mais %n erros enquanto a última caixa estava aberta; este é o mais recente</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::TQtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
</context>
<context>
    <name>hw::TmainForm</name>
    <message>
        <source>Hallwire Files</source>
        <translation>Arquivos do Hallwire</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Arquivos de texto</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Preferências</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>&amp;Carregar mensagens</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>&amp;Salvar mensagens</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Sai&amp;r</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Recor&amp;tar</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Recortar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;olar</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Colar</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aj&amp;uda</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Conteúdo</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>&amp;Procurar ajuda sobre...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>Como &amp;usar a ajuda</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Sobre...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>&amp;Ver mensagem</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>E&amp;nviar</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>Enviar mensagem</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>&amp;Opções</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferências</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Limpar</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>Limpar a janela de conversa</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>&amp;Som</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Som</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;tual.</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>Atualizar a lista da rede</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
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
        <translation>%1 / Usuário (%2)</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>Tem certeza de que deseja fechar o Hallwire?</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>Primeiro você precisa selecionar um destinatário</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>Salvar mensagem</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>Abrir mensagem</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Inserir</translation>
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
        <translation>%1 ativado</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1 desativado</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>Envia mensagens a computadores e grupos de trabalho da rede local</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Título</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>O título da janela; um clique com o botão direito abre o menu da janela</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Barra de menus</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>Os menus Arquivo, Editar e Ajuda</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra de ferramentas</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>Botões para enviar, preferências, limpar, som e atualizar</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>Envia a mensagem da janela de digitação ao destinatário escolhido (Alt+N)</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>Abre as preferências: cores, sons e opções (Alt+O)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Limpar</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>Limpa a janela de conversa (Alt+L)</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>Liga ou desliga os sons das mensagens que chegam (Alt+S)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Atualizar</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>Lê novamente os computadores e grupos de trabalho da rede (Alt+T)</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>Divisor da conversa</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>Separa os destinatários e a janela de digitação da janela de conversa</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>Divisor de destinatários</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>Separa a árvore de destinatários da janela de digitação</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Destinatários</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>O grupo de trabalho e os computadores da rede; escolha o destinatário com as setas, Espaço ou Enter, ou com um clique</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Mensagem</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>A mensagem a enviar; Tab sai da caixa, Ctrl+Tab insere uma tabulação</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Conversa</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>As mensagens enviadas e recebidas, as mais antigas primeiro</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra de status</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>Este computador e usuário, os avisos da rede e as teclas Insert, Caps Lock e Num Lock</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>Este computador e usuário, ou um aviso da rede</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>O modo da tecla Insert</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>O estado da tecla Caps Lock</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>O estado da tecla Num Lock</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Não usado</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>Verificado: assinado com a chave fixada para este remetente
Impressão digital da chave: %1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>a assinatura não corresponde à linha</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>assinada com uma chave diferente da fixada para este remetente</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>uma cópia de uma linha recebida antes (uma repetição)</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>a assinatura está cortada ou malformada</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>a linha não indica nenhum remetente</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>não verificada: chegaram linhas assinadas demais de uma vez</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>FALSIFICADA: esta linha pode não vir do remetente que indica (%1)</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
Impressão digital da chave: %1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Nova mensagem</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n mensagem aguardando</numerusform>
            <numerusform>%n mensagens aguardando</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>Rede</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>Estas configurações têm precedência sobre o ambiente e a configuração do Samba do computador. Deixe uma caixa vazia para usar aquelas.</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>Servidores &amp;WINS:</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>&amp;Anúncio remoto:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>Os servidores WINS devem ser endereços IPv4 separados por vírgulas</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>Cada destino de anúncio remoto deve ser um endereço IPv4 com um /GRUPO opcional</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>Servidores WINS</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>Endereços IPv4 dos servidores WINS, separados por vírgulas; vazio: os do ambiente ou do Samba</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>Anúncio remoto</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>Sub-redes às quais anunciar este computador: endereços, cada um com um /GRUPO opcional; vazio: as do Samba</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>Verifica e salva as configurações de rede e fecha a página</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>Fecha a página sem salvar</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>As configurações de rede próprias deste usuário</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>Mostrar uma &amp;notificação na área de trabalho para mensagens que chegam com a janela oculta</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>Este programa não tem chave de assinatura: suas linhas são enviadas sem assinatura.</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>Impressão digital da sua chave: %1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>Chaves &amp;fixadas (confira uma impressão digital com o dono antes de confiar nela):</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>&amp;Esquecer chave</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>Esquecer a chave do remetente escolhido, por exemplo após uma reinstalação: a próxima chave com que ele assinar será fixada</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>Chaves fixadas</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>As chaves de assinatura de outros usuários, cada uma fixada na primeira linha que assinou, com sua impressão digital</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>Esquece a chave escolhida quando OK for pressionado</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>Mostra em uma notificação da área de trabalho o texto de uma mensagem que chega com a janela oculta ou minimizada</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>Não foi possível gravar as chaves fixadas em %1</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>Preferências</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>Janela de digitação</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>Primeiro plano</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Fundo</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>Janela de conversa</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>Primeiro plano</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>Copiar configurações para a janela de conversa</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>Copiar configurações para a janela de digitação</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>Inicialização</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>Iniciar com a sessão</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>Iniciar no próximo login</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>Arquivos de som</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>Chegada &amp;&amp; minimizada</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>Arquivos WAV</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>Selecione o som para a janela minimizada ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>Toda chegada</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>Selecione o som para toda chegada...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>Som</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>Tocar sons</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>Só chegada &amp;&amp; minimizada</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>Aviso de mensagem</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>Abrir a janela de mensagens</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>Teclado</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>Enviar com Enter em vez de Alt+N ou de um clique no botão</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>&amp;Padrões</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Restaurar as configurações padrão</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>&amp;Rede...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>Servidores WINS e sub-redes remotas</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Aplicar</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>Cores das janelas de mensagens, sons, aviso e opções de teclado</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>Cor do texto da janela de digitação</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>A cor do texto na janela de digitação</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>Cor de fundo da janela de digitação</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>A cor atrás do texto na janela de digitação</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>Cor do texto da janela de conversa</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>A cor do texto na janela de conversa</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>Cor de fundo da janela de conversa</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>A cor atrás do texto na janela de conversa</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>Copiar para a janela de conversa</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>Dá à janela de conversa as cores da janela de digitação</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>Copiar para a janela de digitação</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>Dá à janela de digitação as cores da janela de conversa</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>Inicia o Hallwire sempre que você fizer login</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>Inicia o Hallwire uma única vez, no seu próximo login</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>Arquivo de som de chegada com janela minimizada</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>O arquivo WAV tocado quando chega uma mensagem com a janela oculta</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>Procurar o som de chegada com janela minimizada</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>Abre uma caixa de diálogo para escolher o arquivo WAV (Alt+Seta para baixo no campo faz o mesmo)</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>Arquivo de som de toda chegada</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>O arquivo WAV tocado quando chega uma mensagem com a janela visível, e na inicialização</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>Procurar o som de toda chegada</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>Toca um som quando chega uma mensagem</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>Toca o som só para mensagens que chegam com a janela oculta</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>Abre a janela quando chega uma mensagem enquanto ela está oculta</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>Enter envia a mensagem; sem esta opção, Enter inicia uma nova linha</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>Restaura as cores, os arquivos de som e as opções aos valores iniciais</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>Abre a página de servidores WINS e sub-redes remotas</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>Salva as configurações e fecha a caixa de diálogo</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>Fecha a caixa de diálogo sem salvar</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>Preto</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Bordô</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Oliva</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Azul-marinho</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Roxo</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Verde-azulado</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Cinza</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Prata</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Vermelho</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Verde-limão</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Amarelo</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fúcsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Ciano</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Branco</translation>
    </message>
</context>
</TS>
