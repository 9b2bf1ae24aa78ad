<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
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
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>No se puede abrir el archivo %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>No se puede crear el archivo %1</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Error al escribir en el flujo</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>El texto supera la capacidad del cuadro de texto</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>No se puede escribir en %1</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>No hay ningún dispositivo MCI abierto</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Tipo de datos no válido para «%1»</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>No se pudieron establecer los datos de «%1»</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«%1» no es un número entero válido</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>El mensaje es demasiado largo para enviarlo: con el nombre del remitente ocupa %1 bytes y como máximo se pueden enviar %2 (una letra fuera del alfabeto inglés ocupa dos bytes o más)</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>No hay ninguna interfaz de red activa: los mensajes solo llegan a este equipo hasta que haya una.</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>La red ha vuelto (%1).</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>Algunos destinos de anuncio remoto de la configuración no se pueden usar: «%1». Indique direcciones IPv4, cada una con un /GRUPO opcional.</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>Algunos servidores WINS de la configuración no se pueden usar: «%1». Indique direcciones IPv4 separadas por comas.</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>La lista de anuncio remoto «%1» no se puede usar: indique direcciones IPv4, cada una con un /GRUPO opcional, separadas por comas</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>La lista de servidores WINS «%1» no se puede usar: indique direcciones IPv4 separadas por comas</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>El nombre de grupo de trabajo «%1» no se puede usar: un nombre de grupo de trabajo tiene de 1 a 15 caracteres y ninguno de ellos es \ / : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>El puerto de datagramas %1 (UDP) no se puede usar: los puertos por debajo de 1024 requieren privilegios (root o la capacidad CAP_NET_BIND_SERVICE). Los mensajes de otros equipos no pueden llegar.</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>El puerto de datagramas %1 (UDP) no se puede usar: otro programa lo ocupa y no lo comparte. Los mensajes de otros equipos no pueden llegar.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>El puerto de nombres %1 (UDP) no se puede usar: los puertos por debajo de 1024 requieren privilegios (root o la capacidad CAP_NET_BIND_SERVICE). Los demás equipos no pueden encontrar este equipo por su nombre.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>El puerto de nombres %1 (UDP) no se puede usar: otro programa lo ocupa y no lo comparte. Los demás equipos no pueden encontrar este equipo por su nombre.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>Existe un nombre duplicado en la red: el equipo con la dirección %1 también usa el nombre %2. Los mensajes para %3 pueden llegar a cualquiera de los dos equipos; dé otro nombre a uno de ellos.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>Existe un nombre duplicado en la red: otro equipo usa el nombre %1. Los mensajes para %2 pueden llegar a cualquiera de los dos equipos; dé otro nombre a uno de ellos.</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>El archivo del registro %1 estaba dañado; se apartó como %2 y se empezó uno nuevo.</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Compilación %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>Mensajes para su red local,</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>sin ningún servidor de por medio.</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>Preguntas e informes:</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>el gestor de incidencias del proyecto Hallwire</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>El nombre y la versión del programa, y dónde hacer preguntas</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Imagen de Hallwire</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>La imagen del programa</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>El nombre y la versión del programa</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>El número de compilación del programa</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>Acerca del programa</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>Cierra este cuadro</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>Llegó 1 error más mientras el último cuadro estaba abierto; este es el más reciente</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>Llegó %n error más mientras el último cuadro estaba abierto; este es el más reciente</numerusform>
            <numerusform>Llegaron %n errores más mientras el último cuadro estaba abierto; este es el más reciente</numerusform>
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
        <translation>Archivos de Hallwire</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Archivos de texto</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Preferencias</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>&amp;Cargar mensajes</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>&amp;Guardar mensajes</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edición</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Cortar</translation>
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
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Contenido</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>&amp;Buscar ayuda sobre...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>Cómo &amp;usar la ayuda</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Acerca de...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>&amp;Ver mensaje</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>E&amp;nviar</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>Enviar mensaje</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>C&amp;onfig.</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>Borrar la ventana de chat</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>&amp;Sonido</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Sonido</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>Ac&amp;tual.</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>Actualizar la lista de red</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>CAPS</source>
        <translation>MAYÚS</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>%1 / User (%2)</source>
        <translation>%1 / Usuario (%2)</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>¿Seguro que quiere cerrar Hallwire?</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>Primero debe seleccionar un destinatario</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>Guardar mensaje</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>Abrir mensaje</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insertar</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Bloq Mayús</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>Bloq Num</translation>
    </message>
    <message>
        <source>%1 on</source>
        <translation>%1 activado</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1 desactivado</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>Envía mensajes a equipos y grupos de trabajo de la red local</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Título</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>El título de la ventana; un clic derecho abre el menú de la ventana</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Barra de menús</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>Los menús Archivo, Edición y Ayuda</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>Botones para enviar, preferencias, borrar, sonido y actualizar</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>Envía el mensaje de la ventana de escritura al destinatario elegido (Alt+N)</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>Abre las preferencias: colores, sonidos y opciones (Alt+O)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>Borra la ventana de chat (Alt+B)</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>Activa o desactiva los sonidos de los mensajes entrantes (Alt+S)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>Vuelve a leer los equipos y grupos de trabajo de la red (Alt+T)</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>Divisor del chat</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>Separa los destinatarios y la ventana de escritura de la ventana de chat</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>Divisor de destinatarios</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>Separa el árbol de destinatarios de la ventana de escritura</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Destinatarios</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>El grupo de trabajo y los equipos de la red; elija el destinatario con las flechas, Espacio o Intro, o con un clic</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Mensaje</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>El mensaje que se enviará; Tab sale del cuadro, Ctrl+Tab escribe un tabulador</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>Los mensajes enviados y recibidos, los más antiguos primero</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra de estado</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>Este equipo y usuario, los avisos de red y las teclas Insertar, Bloq Mayús y Bloq Num</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>Este equipo y usuario, o un aviso de red</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>El modo de la tecla Insertar</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>El estado de la tecla Bloq Mayús</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>El estado de la tecla Bloq Num</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Sin uso</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>Verificado: firmado con la clave fijada para este remitente
Huella de la clave: %1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>la firma no coincide con la línea</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>firmada con una clave distinta de la fijada para este remitente</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>una copia de una línea recibida antes (una repetición)</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>la firma está cortada o mal formada</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>la línea no indica ningún remitente</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>sin verificar: llegaron demasiadas líneas firmadas a la vez</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>FALSIFICADA: puede que esta línea no venga del remitente que indica (%1)</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
Huella de la clave: %1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Mensaje nuevo</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n mensaje en espera</numerusform>
            <numerusform>%n mensajes en espera</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>Estos ajustes tienen prioridad sobre el entorno y la configuración de Samba del equipo. Deje un cuadro vacío para usar aquellos.</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>Servidores &amp;WINS:</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>Anuncio &amp;remoto:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>Los servidores WINS deben ser direcciones IPv4 separadas por comas</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>Cada destino de anuncio remoto debe ser una dirección IPv4 con un /GRUPO opcional</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>Servidores WINS</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>Direcciones IPv4 de los servidores WINS, separadas por comas; vacío: las del entorno o de Samba</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>Anuncio remoto</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>Subredes a las que anunciar este equipo: direcciones, cada una con un /GRUPO opcional; vacío: las de Samba</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>Comprueba y guarda los ajustes de red y cierra la página</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>Cierra la página sin guardar</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>Los ajustes de red propios de este usuario</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>Mostrar una &amp;notificación de escritorio para los mensajes que llegan con la ventana oculta</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>Este programa no tiene clave de firma: sus líneas se envían sin firmar.</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>Huella de su clave: %1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>Claves &amp;fijadas (compare una huella con su propietario antes de confiar en ella):</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>&amp;Olvidar clave</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>Olvidar la clave del remitente elegido, p. ej. tras una reinstalación: se fijará la próxima clave con la que firme</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>Claves fijadas</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>Las claves de firma de otros usuarios, cada una fijada en la primera línea que firmó, con su huella</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>Olvida la clave elegida al pulsar Aceptar</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>Muestra en una notificación de escritorio el texto de un mensaje que llega con la ventana oculta o minimizada</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>No se pudieron escribir las claves fijadas en %1</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>Ventana de escritura</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>Primer plano</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Fondo</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>Ventana de chat</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>Primer plano</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>Copiar los ajustes a la ventana de chat</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>Copiar los ajustes a la ventana de escritura</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>Iniciar con la sesión</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>Iniciar en el próximo inicio de sesión</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>Archivos de sonido</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>Entrada &amp;&amp; minimizada</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>Archivos WAV</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>Seleccione el sonido para la ventana minimizada ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>Toda entrada</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>Seleccione el sonido para toda entrada...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>Sonido</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>Reproducir sonidos</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>Solo entrada &amp;&amp; minimizada</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>Notificación de mensajes</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>Abrir la ventana de mensajes</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>Teclado</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>Enviar con Intro en lugar de Alt+N o de un clic en el botón</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>&amp;Predeterminados</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Restaurar los ajustes predeterminados</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>&amp;Red...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>Servidores WINS y subredes remotas</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>Ap&amp;licar</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>Colores de las ventanas de mensajes, sonidos, notificación y opciones de teclado</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>Color del texto de la ventana de escritura</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>El color del texto en la ventana de escritura</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>Color de fondo de la ventana de escritura</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>El color detrás del texto en la ventana de escritura</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>Color del texto de la ventana de chat</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>El color del texto en la ventana de chat</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>Color de fondo de la ventana de chat</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>El color detrás del texto en la ventana de chat</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>Copiar a la ventana de chat</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>Da a la ventana de chat los colores de la ventana de escritura</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>Copiar a la ventana de escritura</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>Da a la ventana de escritura los colores de la ventana de chat</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>Inicia Hallwire cada vez que inicia sesión</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>Inicia Hallwire una sola vez, en su próximo inicio de sesión</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>Archivo de sonido de entrada con ventana minimizada</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>El archivo WAV que se reproduce cuando llega un mensaje con la ventana oculta</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>Buscar el sonido de entrada con ventana minimizada</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>Abre un diálogo de archivos para elegir el archivo WAV (Alt+Abajo en el campo hace lo mismo)</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>Archivo de sonido de toda entrada</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>El archivo WAV que se reproduce cuando llega un mensaje con la ventana visible, y al iniciar</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>Buscar el sonido de toda entrada</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>Reproduce un sonido cuando llega un mensaje</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>Reproduce el sonido solo para los mensajes que llegan con la ventana oculta</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>Abre la ventana cuando llega un mensaje mientras está oculta</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>Intro envía el mensaje; sin esta opción, Intro empieza una línea nueva</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>Devuelve los colores, archivos de sonido y opciones a sus valores iniciales</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>Abre la página de servidores WINS y subredes remotas</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>Guarda los ajustes y cierra el diálogo</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>Cierra el diálogo sin guardar</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>Negro</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Granate</translation>
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
        <translation>Azul marino</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Púrpura</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Verde azulado</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Gris</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Plata</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Lima</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Amarillo</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fucsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Aguamarina</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanco</translation>
    </message>
</context>
</TS>
