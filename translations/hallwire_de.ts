<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TDesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>hw::ShownText</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Die Datei %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Fehler beim Schreiben des Datenstroms</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>Der Text ist zu lang für das Textfeld</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>In %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>Kein MCI-Gerät geöffnet</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Ungültiger Datentyp für „%1“</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Daten für „%1“ konnten nicht gesetzt werden</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>„%1“ ist keine gültige ganze Zahl</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>Die Nachricht ist zu lang zum Senden: Mit dem Namen des Absenders umfasst sie %1 Bytes, gesendet werden können höchstens %2 (ein Buchstabe außerhalb des englischen Alphabets braucht zwei oder mehr Bytes)</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>Keine Netzwerkschnittstelle ist aktiv: Nachrichten erreichen nur diesen Computer, bis eine aktiv ist.</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>Das Netzwerk ist wieder da (%1).</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>Einige Ziele der Remote-Ankündigung in den Einstellungen sind nicht verwendbar: „%1“. Geben Sie IPv4-Adressen an, jeweils wahlweise mit /ARBEITSGRUPPE.</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>Einige WINS-Server in den Einstellungen sind nicht verwendbar: „%1“. Geben Sie IPv4-Adressen an, durch Kommas getrennt.</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>Die Liste der Remote-Ankündigung „%1“ ist nicht verwendbar: Geben Sie IPv4-Adressen an, jeweils wahlweise mit /ARBEITSGRUPPE, durch Kommas getrennt</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>Die WINS-Serverliste „%1“ ist nicht verwendbar: Geben Sie IPv4-Adressen an, durch Kommas getrennt</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>Der Arbeitsgruppenname „%1“ ist nicht verwendbar: Ein Arbeitsgruppenname hat 1 bis 15 Zeichen und keines davon ist \ / : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>Der Datagramm-Port %1 (UDP) ist nicht nutzbar: Ports unter 1024 erfordern Rechte (root oder die Fähigkeit CAP_NET_BIND_SERVICE). Nachrichten anderer Computer können nicht ankommen.</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>Der Datagramm-Port %1 (UDP) ist nicht nutzbar: Ein anderes Programm belegt ihn und teilt ihn nicht. Nachrichten anderer Computer können nicht ankommen.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>Der Namensport %1 (UDP) ist nicht nutzbar: Ports unter 1024 erfordern Rechte (root oder die Fähigkeit CAP_NET_BIND_SERVICE). Andere Computer können diesen Computer nicht über seinen Namen finden.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>Der Namensport %1 (UDP) ist nicht nutzbar: Ein anderes Programm belegt ihn und teilt ihn nicht. Andere Computer können diesen Computer nicht über seinen Namen finden.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>Ein Name ist im Netzwerk doppelt vergeben: Der Computer unter %1 verwendet ebenfalls den Namen %2. Nachrichten für %3 können bei jedem der beiden ankommen; geben Sie einem von ihnen einen anderen Namen.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>Ein Name ist im Netzwerk doppelt vergeben: Ein anderer Computer verwendet den Namen %1. Nachrichten für %2 können bei jedem der beiden ankommen; geben Sie einem von ihnen einen anderen Namen.</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>Die Registry-Datei %1 war beschädigt; sie wurde als %2 beiseitegelegt und eine neue wurde angelegt.</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Build %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>Nachrichten für Ihr lokales Netz,</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>ganz ohne Server dazwischen.</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>Fragen und Fehlerberichte:</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>der Issue-Tracker des Hallwire-Projekts</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>Name und Version des Programms und wo man Fragen stellen kann</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Hallwire-Bild</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>Das Bild des Programms</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>Name und Version des Programms</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>Die Build-Nummer des Programms</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>Über das Programm</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>Schließt dieses Fenster</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>1 weiterer Fehler kam, während das letzte Fenster offen war; dies ist der neueste</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>%n weiterer Fehler kam, während das letzte Fenster offen war; dies ist der neueste</numerusform>
            <numerusform>%n weitere Fehler kamen, während das letzte Fenster offen war; dies ist der neueste</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::TQtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
</context>
<context>
    <name>hw::TmainForm</name>
    <message>
        <source>Hallwire Files</source>
        <translation>Hallwire-Dateien</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Textdateien</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>Nachrichten &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>Nachrichten &amp;speichern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>Hilfe &amp;suchen zu...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>&amp;Hilfe verwenden</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>Nachricht &amp;anzeigen</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Senden</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>Nachricht senden</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>&amp;Einst.</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>Chatfenster leeren</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>&amp;Ton</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktual.</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>Netzwerkliste aktualisieren</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>EINF</translation>
    </message>
    <message>
        <source>CAPS</source>
        <translation>FEST</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>%1 / User (%2)</source>
        <translation>%1 / Benutzer (%2)</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>Möchten Sie Hallwire wirklich schließen?</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>Sie müssen zuerst einen Empfänger auswählen</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>Nachricht speichern</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>Nachricht öffnen</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Feststelltaste</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>Num-Taste</translation>
    </message>
    <message>
        <source>%1 on</source>
        <translation>%1 ein</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1 aus</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>Sendet Nachrichten an Computer und Arbeitsgruppen im lokalen Netz</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>Der Titel des Fensters; ein Rechtsklick öffnet das Fenstermenü</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>Die Menüs Datei, Bearbeiten und Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>Schaltflächen zum Senden, für Einstellungen, Leeren, Ton und Aktualisieren</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>Sendet die Nachricht im Eingabefenster an den gewählten Empfänger (Alt+S)</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>Öffnet die Einstellungen: Farben, Klänge und Optionen (Alt+E)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>Leert das Chatfenster (Alt+L)</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>Schaltet die Klänge für eintreffende Nachrichten ein oder aus (Alt+T)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>Liest die Computer und Arbeitsgruppen des Netzes neu ein (Alt+A)</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>Chat-Trenner</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>Trennt die Empfänger und das Eingabefenster vom Chatfenster</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>Empfänger-Trenner</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>Trennt den Empfängerbaum vom Eingabefenster</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Empfänger</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>Die Arbeitsgruppe und die Computer im Netz; wählen Sie den Empfänger mit den Pfeiltasten, der Leertaste, der Eingabetaste oder per Klick</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>Die zu sendende Nachricht; Tab verlässt das Feld, Strg+Tab fügt einen Tabulator ein</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Chat</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>Die gesendeten und empfangenen Nachrichten, die älteste zuerst</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statusleiste</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>Dieser Computer und Benutzer, Netzhinweise sowie die Einfüge-, Feststell- und Num-Taste</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>Dieser Computer und Benutzer oder ein Netzhinweis</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>Der Modus der Einfügetaste</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>Der Zustand der Feststelltaste</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>Der Zustand der Num-Taste</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Nicht verwendet</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>Geprüft: signiert mit dem für diesen Absender gepinnten Schlüssel
Schlüssel-Fingerabdruck: %1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>die Signatur passt nicht zur Zeile</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>mit einem anderen Schlüssel signiert als dem für diesen Absender gepinnten</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>eine Kopie einer früher empfangenen Zeile (eine Wiederholung)</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>die Signatur ist abgeschnitten oder fehlerhaft</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>die Zeile nennt keinen Absender</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>nicht geprüft: zu viele signierte Zeilen auf einmal eingetroffen</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>GEFÄLSCHT: Diese Zeile stammt möglicherweise nicht von dem genannten Absender (%1)</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
Schlüssel-Fingerabdruck: %1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Neue Nachricht</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n Nachricht wartet</numerusform>
            <numerusform>%n Nachrichten warten</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>Diese Einstellungen haben Vorrang vor der Umgebung und der Samba-Konfiguration des Computers. Lassen Sie ein Feld leer, um jene zu verwenden.</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>&amp;WINS-Server:</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>&amp;Remote-Ankündigung:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>Die WINS-Server müssen IPv4-Adressen sein, durch Kommas getrennt</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>Jedes Ziel der Remote-Ankündigung muss eine IPv4-Adresse sein, wahlweise mit /ARBEITSGRUPPE</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>WINS-Server</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>IPv4-Adressen der WINS-Server, durch Kommas getrennt; leer: die der Umgebung oder von Samba</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>Remote-Ankündigung</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>Subnetze, in denen dieser Computer angekündigt wird: Adressen, jeweils wahlweise mit /ARBEITSGRUPPE; leer: die von Samba</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>Prüft und speichert die Netzwerkeinstellungen und schließt die Seite</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>Schließt die Seite ohne zu speichern</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>Die eigenen Netzwerkeinstellungen dieses Benutzers</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>Desktop-&amp;Benachrichtigung für Nachrichten anzeigen, die bei verborgenem Fenster eintreffen</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>Dieses Programm hat keinen Signaturschlüssel: Seine Zeilen werden unsigniert gesendet.</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>Fingerabdruck Ihres Schlüssels: %1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>&amp;Gepinnte Schlüssel (vergleichen Sie einen Fingerabdruck mit seinem Besitzer, bevor Sie ihm vertrauen):</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>Schlüssel &amp;vergessen</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>Den Schlüssel des gewählten Absenders vergessen, z. B. nach einer Neuinstallation: Der nächste Schlüssel, mit dem er signiert, wird gepinnt</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>Gepinnte Schlüssel</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>Die Signaturschlüssel anderer Benutzer, jeweils bei der ersten damit signierten Zeile gepinnt, mit ihrem Fingerabdruck</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>Vergisst den gewählten Schlüssel, wenn OK gedrückt wird</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>Zeigt den Text einer Nachricht, die bei verborgenem oder minimiertem Fenster eintrifft, in einer Desktop-Benachrichtigung</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>Die gepinnten Schlüssel konnten nicht nach %1 geschrieben werden</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>Eingabefenster</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>Vordergrund</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Hintergrund</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>Chatfenster</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>Vordergrund</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>Einstellungen ins Chatfenster übernehmen</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>Einstellungen ins Eingabefenster übernehmen</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>Bei nächster Anmeldung</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>Klangdateien</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>Eingang &amp;&amp; minimiert</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>WAV-Dateien</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>Klang für Eingänge bei minimiertem Fenster wählen ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>Jeder Eingang</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>Klang für jeden Eingang wählen...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>Klänge</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>Klänge spielen</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>Nur Eingang &amp;&amp; minimiert</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>Benachrichtigung</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>Fenster öffnen</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>Mit der Eingabetaste senden (statt Alt+S oder Klick)</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>&amp;Standard</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Standardeinstellungen wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>&amp;Netzwerk...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>WINS-Server und entfernte Subnetze</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>Ü&amp;bernehmen</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>Farben der Nachrichtenfenster, Klänge, Benachrichtigung und Tastaturoptionen</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>Textfarbe des Eingabefensters</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>Die Farbe des Texts im Eingabefenster</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>Hintergrundfarbe des Eingabefensters</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>Die Farbe hinter dem Text im Eingabefenster</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>Textfarbe des Chatfensters</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>Die Farbe des Texts im Chatfenster</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>Hintergrundfarbe des Chatfensters</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>Die Farbe hinter dem Text im Chatfenster</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>Ins Chatfenster übernehmen</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>Gibt dem Chatfenster die Farben des Eingabefensters</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>Ins Eingabefenster übernehmen</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>Gibt dem Eingabefenster die Farben des Chatfensters</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>Startet Hallwire bei jeder Anmeldung</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>Startet Hallwire einmal, bei Ihrer nächsten Anmeldung</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>Klangdatei für Eingang bei minimiertem Fenster</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>Die WAV-Datei, die abgespielt wird, wenn eine Nachricht bei verborgenem Fenster eintrifft</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>Klang für Eingang bei minimiertem Fenster suchen</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>Öffnet einen Dateidialog zur Wahl der WAV-Datei (Alt+Pfeil nach unten im Feld bewirkt dasselbe)</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>Klangdatei für jeden Eingang</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>Die WAV-Datei, die abgespielt wird, wenn eine Nachricht bei sichtbarem Fenster eintrifft, und beim Start</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>Klang für jeden Eingang suchen</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>Spielt einen Klang, wenn eine Nachricht eintrifft</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>Spielt den Klang nur für Nachrichten, die bei verborgenem Fenster eintreffen</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>Öffnet das Fenster, wenn eine Nachricht eintrifft, während es verborgen ist</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>Die Eingabetaste sendet die Nachricht; sonst beginnt sie eine neue Zeile</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>Setzt Farben, Klangdateien und Optionen auf ihre Anfangswerte zurück</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>Öffnet die Seite für WINS-Server und entfernte Subnetze</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>Speichert die Einstellungen und schließt den Dialog</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>Schließt den Dialog ohne zu speichern</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Kastanienbraun</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Oliv</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Marineblau</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Petrol</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Silber</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Hellgrün</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Magenta</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
</context>
</TS>
