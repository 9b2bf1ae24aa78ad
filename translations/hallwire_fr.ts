<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>TDesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
</context>
<context>
    <name>hw::ShownText</name>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Impossible d&apos;ouvrir le fichier %1</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Impossible de créer le fichier %1</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Erreur d&apos;écriture du flux</translation>
    </message>
    <message>
        <source>Text exceeds memo capacity</source>
        <translation>Le texte dépasse la capacité de la zone de texte</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>Impossible d&apos;écrire dans %1</translation>
    </message>
    <message>
        <source>No MCI device open</source>
        <translation>Aucun périphérique MCI ouvert</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Type de données non valide pour «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Impossible de définir les données de «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>«&#xa0;%1&#xa0;» n&apos;est pas un nombre entier valide</translation>
    </message>
    <message>
        <source>The message is too long to send: it takes %1 bytes with the sender&apos;s name, at most %2 can be sent (a letter outside English takes two bytes or more)</source>
        <translation>Le message est trop long pour être envoyé&#xa0;: avec le nom de l&apos;expéditeur, il occupe %1 octets&#xa0;; %2 au plus peuvent être envoyés (une lettre hors de l&apos;alphabet anglais prend deux octets ou plus)</translation>
    </message>
    <message>
        <source>No network interface is up: messages reach only this computer until one is.</source>
        <translation>Aucune interface réseau n&apos;est active&#xa0;: les messages n&apos;atteignent que cet ordinateur tant qu&apos;aucune ne l&apos;est.</translation>
    </message>
    <message>
        <source>The network is back (%1).</source>
        <translation>Le réseau est de retour (%1).</translation>
    </message>
    <message>
        <source>Some remote announce targets in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses, each with an optional /WORKGROUP.</source>
        <translation>Certaines cibles d&apos;annonce distante des réglages ne sont pas utilisables&#xa0;: «&#xa0;%1&#xa0;». Indiquez des adresses IPv4, chacune avec un /GROUPE facultatif.</translation>
    </message>
    <message>
        <source>Some WINS servers in the settings cannot be used: &quot;%1&quot;. Give IPv4 addresses separated by commas.</source>
        <translation>Certains serveurs WINS des réglages ne sont pas utilisables&#xa0;: «&#xa0;%1&#xa0;». Indiquez des adresses IPv4 séparées par des virgules.</translation>
    </message>
    <message>
        <source>The remote announce list &quot;%1&quot; cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas</source>
        <translation>La liste d&apos;annonce distante «&#xa0;%1&#xa0;» n&apos;est pas utilisable&#xa0;: indiquez des adresses IPv4, chacune avec un /GROUPE facultatif, séparées par des virgules</translation>
    </message>
    <message>
        <source>The WINS server list &quot;%1&quot; cannot be used: give IPv4 addresses separated by commas</source>
        <translation>La liste de serveurs WINS «&#xa0;%1&#xa0;» n&apos;est pas utilisable&#xa0;: indiquez des adresses IPv4 séparées par des virgules</translation>
    </message>
    <message>
        <source>The workgroup name &quot;%1&quot; cannot be used: a workgroup name has 1 to 15 characters and none of \ / : * ? &quot; &lt; &gt; |</source>
        <translation>Le nom de groupe de travail «&#xa0;%1&#xa0;» n&apos;est pas utilisable&#xa0;: un nom de groupe de travail compte de 1 à 15 caractères, sans aucun de \ / : * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive.</source>
        <translation>Le port de datagrammes %1 (UDP) n&apos;est pas utilisable&#xa0;: les ports inférieurs à 1024 demandent des privilèges (root, ou la capacité CAP_NET_BIND_SERVICE). Les messages des autres ordinateurs ne peuvent pas arriver.</translation>
    </message>
    <message>
        <source>The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. Messages from other computers cannot arrive.</source>
        <translation>Le port de datagrammes %1 (UDP) n&apos;est pas utilisable&#xa0;: un autre programme l&apos;occupe et ne le partage pas. Les messages des autres ordinateurs ne peuvent pas arriver.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name.</source>
        <translation>Le port de noms %1 (UDP) n&apos;est pas utilisable&#xa0;: les ports inférieurs à 1024 demandent des privilèges (root, ou la capacité CAP_NET_BIND_SERVICE). Les autres ordinateurs ne peuvent pas trouver cet ordinateur par son nom.</translation>
    </message>
    <message>
        <source>The name port %1 (UDP) cannot be used: another program holds it and does not share it. Other computers cannot find this computer by its name.</source>
        <translation>Le port de noms %1 (UDP) n&apos;est pas utilisable&#xa0;: un autre programme l&apos;occupe et ne le partage pas. Les autres ordinateurs ne peuvent pas trouver cet ordinateur par son nom.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages for %3 may reach either computer; give one of them another name.</source>
        <translation>Un nom en double existe sur le réseau&#xa0;: l&apos;ordinateur à l&apos;adresse %1 utilise aussi le nom %2. Les messages pour %3 peuvent atteindre l&apos;un ou l&apos;autre ordinateur&#xa0;; donnez un autre nom à l&apos;un d&apos;eux.</translation>
    </message>
    <message>
        <source>A duplicate name exists on the network: another computer uses the name %1. Messages for %2 may reach either computer; give one of them another name.</source>
        <translation>Un nom en double existe sur le réseau&#xa0;: un autre ordinateur utilise le nom %1. Les messages pour %2 peuvent atteindre l&apos;un ou l&apos;autre ordinateur&#xa0;; donnez un autre nom à l&apos;un d&apos;eux.</translation>
    </message>
    <message>
        <source>The registry file %1 was damaged; it was set aside as %2 and a new one was started.</source>
        <translation>Le fichier de registre %1 était endommagé&#xa0;; il a été mis de côté sous le nom %2 et un nouveau a été créé.</translation>
    </message>
</context>
<context>
    <name>hw::TAbout</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Compilation %1</translation>
    </message>
    <message>
        <source>Messages for your local network,</source>
        <translation>Des messages pour votre réseau local,</translation>
    </message>
    <message>
        <source>with no server in between.</source>
        <translation>sans serveur entre les deux.</translation>
    </message>
    <message>
        <source>Questions and reports:</source>
        <translation>Questions et signalements&#xa0;:</translation>
    </message>
    <message>
        <source>the Hallwire project&apos;s issue tracker</source>
        <translation>le suivi des tickets du projet Hallwire</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>The program&apos;s name, version and where to ask questions</source>
        <translation>Le nom et la version du programme, et où poser des questions</translation>
    </message>
    <message>
        <source>Hallwire picture</source>
        <translation>Image de Hallwire</translation>
    </message>
    <message>
        <source>The program&apos;s picture</source>
        <translation>L&apos;image du programme</translation>
    </message>
    <message>
        <source>The program&apos;s name and version</source>
        <translation>Le nom et la version du programme</translation>
    </message>
    <message>
        <source>The program&apos;s build number</source>
        <translation>Le numéro de build du programme</translation>
    </message>
    <message>
        <source>About the program</source>
        <translation>À propos du programme</translation>
    </message>
    <message>
        <source>Closes this box</source>
        <translation>Ferme cette fenêtre</translation>
    </message>
</context>
<context>
    <name>hw::TErrorBoxGate</name>
    <message>
        <source>1 more error came while the last box was open; this is the latest</source>
        <translation>1 autre erreur est survenue pendant que la dernière fenêtre était ouverte&#xa0;; voici la plus récente</translation>
    </message>
    <message numerus="yes">
        <source>%n more errors came while the last box was open; this is the latest</source>
        <translation>
            <numerusform>%n autre erreur est survenue pendant que la dernière fenêtre était ouverte&#xa0;; voici la plus récente</numerusform>
            <numerusform>%n autres erreurs sont survenues pendant que la dernière fenêtre était ouverte&#xa0;; voici la plus récente</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::TQtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
</context>
<context>
    <name>hw::TmainForm</name>
    <message>
        <source>Hallwire Files</source>
        <translation>Fichiers Hallwire</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Fichiers texte</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Préférences</translation>
    </message>
    <message>
        <source>&amp;Load Messages</source>
        <translation>&amp;Charger les messages</translation>
    </message>
    <message>
        <source>&amp;Save Messages</source>
        <translation>Enregi&amp;strer les messages</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Couper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Coller</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Sommaire</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>&amp;Rechercher dans l&apos;aide...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>&amp;Utiliser l&apos;aide</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos...</translation>
    </message>
    <message>
        <source>&amp;View Message</source>
        <translation>&amp;Afficher le message</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>&amp;Envoyer</translation>
    </message>
    <message>
        <source>Send Message</source>
        <translation>Envoyer le message</translation>
    </message>
    <message>
        <source>&amp;Prefs</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Vider</translation>
    </message>
    <message>
        <source>Clear ChatWindow</source>
        <translation>Vider la fenêtre de discussion</translation>
    </message>
    <message>
        <source>S&amp;ound</source>
        <translation>&amp;Son</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>Ac&amp;tual.</translation>
    </message>
    <message>
        <source>Refresh Network List</source>
        <translation>Actualiser la liste du réseau</translation>
    </message>
    <message>
        <source>INS</source>
        <translation>INS</translation>
    </message>
    <message>
        <source>CAPS</source>
        <translation>MAJ</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>%1 / User (%2)</source>
        <translation>%1 / Utilisateur (%2)</translation>
    </message>
    <message>
        <source>Are you sure you want to close Hallwire?</source>
        <translation>Voulez-vous vraiment fermer Hallwire&#xa0;?</translation>
    </message>
    <message>
        <source>You must first select a recipient</source>
        <translation>Vous devez d&apos;abord choisir un destinataire</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>Enregistrer le message</translation>
    </message>
    <message>
        <source>Open Message</source>
        <translation>Ouvrir un message</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insertion</translation>
    </message>
    <message>
        <source>Caps Lock</source>
        <translation>Verr. Maj</translation>
    </message>
    <message>
        <source>Num Lock</source>
        <translation>Verr. Num</translation>
    </message>
    <message>
        <source>%1 on</source>
        <translation>%1 activé</translation>
    </message>
    <message>
        <source>%1 off</source>
        <translation>%1 désactivé</translation>
    </message>
    <message>
        <source>Hallwire</source>
        <translation>Hallwire</translation>
    </message>
    <message>
        <source>Sends messages to computers and workgroups on the local network</source>
        <translation>Envoie des messages aux ordinateurs et groupes de travail du réseau local</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titre</translation>
    </message>
    <message>
        <source>The window&apos;s title; a right click opens the window menu</source>
        <translation>Le titre de la fenêtre&#xa0;; un clic droit ouvre le menu de la fenêtre</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Barre de menus</translation>
    </message>
    <message>
        <source>The File, Edit and Help menus</source>
        <translation>Les menus Fichier, Édition et Aide</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barre d&apos;outils</translation>
    </message>
    <message>
        <source>Buttons for sending, preferences, clearing, sound and refreshing</source>
        <translation>Boutons pour envoyer, les préférences, vider, le son et actualiser</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Envoyer</translation>
    </message>
    <message>
        <source>Sends the message in the entry box to the chosen recipient (Alt+S)</source>
        <translation>Envoie le message de la fenêtre de saisie au destinataire choisi (Alt+E)</translation>
    </message>
    <message>
        <source>Opens the preferences: colours, sounds and options (Alt+P)</source>
        <translation>Ouvre les préférences&#xa0;: couleurs, sons et options (Alt+O)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Vider</translation>
    </message>
    <message>
        <source>Clears the chat box (Alt+C)</source>
        <translation>Vide la fenêtre de discussion (Alt+V)</translation>
    </message>
    <message>
        <source>Switches the sounds for arriving messages on or off (Alt+O)</source>
        <translation>Active ou désactive les sons des messages reçus (Alt+S)</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Reads the computers and workgroups of the network again (Alt+R)</source>
        <translation>Relit les ordinateurs et groupes de travail du réseau (Alt+T)</translation>
    </message>
    <message>
        <source>Chat divider</source>
        <translation>Séparateur de la discussion</translation>
    </message>
    <message>
        <source>Divides the recipients and the entry box from the chat box</source>
        <translation>Sépare les destinataires et la fenêtre de saisie de la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Recipient divider</source>
        <translation>Séparateur des destinataires</translation>
    </message>
    <message>
        <source>Divides the recipient tree from the entry box</source>
        <translation>Sépare l&apos;arbre des destinataires de la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Recipients</source>
        <translation>Destinataires</translation>
    </message>
    <message>
        <source>The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or Enter, or a click</source>
        <translation>Le groupe de travail et les ordinateurs du réseau&#xa0;; choisissez le destinataire avec les flèches, Espace ou Entrée, ou d&apos;un clic</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>The message to send; Tab leaves the box, Ctrl+Tab types a tab</source>
        <translation>Le message à envoyer&#xa0;; Tab quitte le champ, Ctrl+Tab insère une tabulation</translation>
    </message>
    <message>
        <source>Chat</source>
        <translation>Discussion</translation>
    </message>
    <message>
        <source>The messages sent and received, oldest first</source>
        <translation>Les messages envoyés et reçus, les plus anciens en premier</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barre d&apos;état</translation>
    </message>
    <message>
        <source>This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys</source>
        <translation>Cet ordinateur et cet utilisateur, les avis du réseau, et les touches Insertion, Verr. Maj et Verr. Num</translation>
    </message>
    <message>
        <source>This computer and user, or a network notice</source>
        <translation>Cet ordinateur et cet utilisateur, ou un avis du réseau</translation>
    </message>
    <message>
        <source>The Insert key&apos;s mode</source>
        <translation>Le mode de la touche Insertion</translation>
    </message>
    <message>
        <source>The Caps Lock key&apos;s lock</source>
        <translation>L&apos;état de la touche Verr. Maj</translation>
    </message>
    <message>
        <source>The Num Lock key&apos;s lock</source>
        <translation>L&apos;état de la touche Verr. Num</translation>
    </message>
    <message>
        <source>Unused</source>
        <translation>Inutilisé</translation>
    </message>
    <message>
        <source>Verified: signed with the key pinned for this sender
Key fingerprint: %1</source>
        <translation>Vérifié&#xa0;: signé avec la clé épinglée pour cet expéditeur
Empreinte de la clé&#xa0;: %1</translation>
    </message>
    <message>
        <source>the signature does not match the line</source>
        <translation>la signature ne correspond pas à la ligne</translation>
    </message>
    <message>
        <source>signed with another key than the one pinned for this sender</source>
        <translation>signée avec une autre clé que celle épinglée pour cet expéditeur</translation>
    </message>
    <message>
        <source>a copy of a line received before (a replay)</source>
        <translation>une copie d&apos;une ligne déjà reçue (un rejeu)</translation>
    </message>
    <message>
        <source>the signature is cut off or malformed</source>
        <translation>la signature est tronquée ou mal formée</translation>
    </message>
    <message>
        <source>the line names no sender</source>
        <translation>la ligne ne nomme aucun expéditeur</translation>
    </message>
    <message>
        <source>not checked: too many signed lines arrived at once</source>
        <translation>non vérifiée&#xa0;: trop de lignes signées sont arrivées à la fois</translation>
    </message>
    <message>
        <source>FORGED: this line may not come from the sender it names (%1)</source>
        <translation>FALSIFIÉE&#xa0;: cette ligne ne vient peut-être pas de l&apos;expéditeur qu&apos;elle nomme (%1)</translation>
    </message>
    <message>
        <source>
Key fingerprint: %1</source>
        <translation>
Empreinte de la clé&#xa0;: %1</translation>
    </message>
    <message>
        <source>New message</source>
        <translation>Nouveau message</translation>
    </message>
    <message numerus="yes">
        <source>%n messages waiting</source>
        <translation>
            <numerusform>%n message en attente</numerusform>
            <numerusform>%n messages en attente</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>hw::app::TNetworkPage</name>
    <message>
        <source>Network</source>
        <translation>Réseau</translation>
    </message>
    <message>
        <source>These settings come before the environment and the computer&apos;s Samba configuration. Leave a box empty to use those.</source>
        <translation>Ces réglages passent avant l&apos;environnement et la configuration Samba de l&apos;ordinateur. Laissez un champ vide pour utiliser ceux-ci.</translation>
    </message>
    <message>
        <source>&amp;WINS servers:</source>
        <translation>Serveurs &amp;WINS&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Remote announce:</source>
        <translation>Annonce &amp;distante&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>The WINS servers must be IPv4 addresses separated by commas</source>
        <translation>Les serveurs WINS doivent être des adresses IPv4 séparées par des virgules</translation>
    </message>
    <message>
        <source>Each remote announce target must be an IPv4 address with an optional /WORKGROUP</source>
        <translation>Chaque cible d&apos;annonce distante doit être une adresse IPv4, avec un /GROUPE facultatif</translation>
    </message>
    <message>
        <source>WINS servers</source>
        <translation>Serveurs WINS</translation>
    </message>
    <message>
        <source>IPv4 addresses of the WINS servers, separated by commas; empty: the environment&apos;s or Samba&apos;s</source>
        <translation>Adresses IPv4 des serveurs WINS, séparées par des virgules&#xa0;; vide&#xa0;: celles de l&apos;environnement ou de Samba</translation>
    </message>
    <message>
        <source>Remote announce</source>
        <translation>Annonce distante</translation>
    </message>
    <message>
        <source>Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba&apos;s</source>
        <translation>Sous-réseaux auxquels annoncer cet ordinateur&#xa0;: adresses, chacune avec un /GROUPE facultatif&#xa0;; vide&#xa0;: ceux de Samba</translation>
    </message>
    <message>
        <source>Checks and saves the network settings and closes the page</source>
        <translation>Vérifie et enregistre les réglages réseau, puis ferme la page</translation>
    </message>
    <message>
        <source>Closes the page without saving</source>
        <translation>Ferme la page sans enregistrer</translation>
    </message>
    <message>
        <source>This user&apos;s own network settings</source>
        <translation>Les réglages réseau propres à cet utilisateur</translation>
    </message>
    <message>
        <source>Show a desktop &amp;notification for messages that arrive while hidden</source>
        <translation>Afficher une &amp;notification de bureau pour les messages reçus pendant que la fenêtre est masquée</translation>
    </message>
    <message>
        <source>This program has no signing key: its lines go out unsigned.</source>
        <translation>Ce programme n&apos;a pas de clé de signature&#xa0;: ses lignes partent sans signature.</translation>
    </message>
    <message>
        <source>Your key&apos;s fingerprint: %1</source>
        <translation>Empreinte de votre clé&#xa0;: %1</translation>
    </message>
    <message>
        <source>&amp;Pinned keys (compare a fingerprint with its owner before trusting it):</source>
        <translation>&amp;Clés épinglées (comparez une empreinte avec son propriétaire avant de lui faire confiance)&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Forget Key</source>
        <translation>Ou&amp;blier la clé</translation>
    </message>
    <message>
        <source>Forget the selected sender&apos;s key, e.g. after a reinstall: the next key it signs with is pinned</source>
        <translation>Oublier la clé de l&apos;expéditeur choisi, par exemple après une réinstallation&#xa0;: la prochaine clé avec laquelle il signe sera épinglée</translation>
    </message>
    <message>
        <source>Pinned keys</source>
        <translation>Clés épinglées</translation>
    </message>
    <message>
        <source>Other users&apos; signing keys, each pinned at the first line it signed, with its fingerprint</source>
        <translation>Les clés de signature des autres utilisateurs, chacune épinglée à la première ligne qu&apos;elle a signée, avec son empreinte</translation>
    </message>
    <message>
        <source>Forgets the selected key when OK is pressed</source>
        <translation>Oublie la clé choisie quand OK est pressé</translation>
    </message>
    <message>
        <source>Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification</source>
        <translation>Affiche dans une notification de bureau le texte d&apos;un message reçu pendant que la fenêtre est masquée ou réduite</translation>
    </message>
    <message>
        <source>The pinned keys could not be written to %1</source>
        <translation>Les clés épinglées n&apos;ont pas pu être écrites dans %1</translation>
    </message>
</context>
<context>
    <name>hw::app::TfrmPref</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Entry Window Settings</source>
        <translation>Fenêtre de saisie</translation>
    </message>
    <message>
        <source>Forground</source>
        <translation>Premier plan</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Arrière-plan</translation>
    </message>
    <message>
        <source>Chat Window Settings</source>
        <translation>Fenêtre de discussion</translation>
    </message>
    <message>
        <source>Foreground</source>
        <translation>Premier plan</translation>
    </message>
    <message>
        <source>Copy settings to Chat Window</source>
        <translation>Copier les réglages vers la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Copy settings to Entry Window</source>
        <translation>Copier les réglages vers la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Startup Options</source>
        <translation>Démarrage</translation>
    </message>
    <message>
        <source>Startup with Windows</source>
        <translation>Démarrer avec la session</translation>
    </message>
    <message>
        <source>Start on next logon</source>
        <translation>Démarrer à la prochaine connexion</translation>
    </message>
    <message>
        <source>Sound Files</source>
        <translation>Fichiers son</translation>
    </message>
    <message>
        <source>Incoming &amp;&amp; Iconized</source>
        <translation>Réception &amp;&amp; fenêtre réduite</translation>
    </message>
    <message>
        <source>Wave Files</source>
        <translation>Fichiers WAV</translation>
    </message>
    <message>
        <source>Select sound for all Iconized ...</source>
        <translation>Choisir le son pour la fenêtre réduite ...</translation>
    </message>
    <message>
        <source>All Incoming</source>
        <translation>Toute réception</translation>
    </message>
    <message>
        <source>Select sound for all incoming...</source>
        <translation>Choisir le son pour toute réception...</translation>
    </message>
    <message>
        <source>Sound Options</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>Play Sounds</source>
        <translation>Jouer les sons</translation>
    </message>
    <message>
        <source>Only Incoming &amp;&amp; Iconized</source>
        <translation>Seulement réception &amp;&amp; fenêtre réduite</translation>
    </message>
    <message>
        <source>Message Notification</source>
        <translation>Notification</translation>
    </message>
    <message>
        <source>Open Message Window</source>
        <translation>Ouvrir la fenêtre des messages</translation>
    </message>
    <message>
        <source>Keyboard Options</source>
        <translation>Clavier</translation>
    </message>
    <message>
        <source>Use EnterKey instead of Alt-S or Clicking button to send Message</source>
        <translation>Envoyer avec Entrée au lieu d&apos;Alt+E ou d&apos;un clic sur le bouton</translation>
    </message>
    <message>
        <source>D&amp;efaults</source>
        <translation>Par &amp;défaut</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Rétablir les réglages par défaut</translation>
    </message>
    <message>
        <source>&amp;Network...</source>
        <translation>&amp;Réseau...</translation>
    </message>
    <message>
        <source>WINS servers and remote subnets</source>
        <translation>Serveurs WINS et sous-réseaux distants</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>A&amp;ppliquer</translation>
    </message>
    <message>
        <source>Colours of the message boxes, sounds, notification and keyboard options</source>
        <translation>Couleurs des fenêtres de messages, sons, notification et options du clavier</translation>
    </message>
    <message>
        <source>Entry window text colour</source>
        <translation>Couleur du texte de la fenêtre de saisie</translation>
    </message>
    <message>
        <source>The colour of the text in the entry box</source>
        <translation>La couleur du texte dans la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Entry window background colour</source>
        <translation>Couleur de fond de la fenêtre de saisie</translation>
    </message>
    <message>
        <source>The colour behind the text in the entry box</source>
        <translation>La couleur derrière le texte dans la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Chat window text colour</source>
        <translation>Couleur du texte de la fenêtre de discussion</translation>
    </message>
    <message>
        <source>The colour of the text in the chat box</source>
        <translation>La couleur du texte dans la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Chat window background colour</source>
        <translation>Couleur de fond de la fenêtre de discussion</translation>
    </message>
    <message>
        <source>The colour behind the text in the chat box</source>
        <translation>La couleur derrière le texte dans la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Copy to chat window</source>
        <translation>Copier vers la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Gives the chat box the entry box&apos;s colours</source>
        <translation>Donne à la fenêtre de discussion les couleurs de la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Copy to entry window</source>
        <translation>Copier vers la fenêtre de saisie</translation>
    </message>
    <message>
        <source>Gives the entry box the chat box&apos;s colours</source>
        <translation>Donne à la fenêtre de saisie les couleurs de la fenêtre de discussion</translation>
    </message>
    <message>
        <source>Starts Hallwire whenever you log in</source>
        <translation>Démarre Hallwire à chaque connexion</translation>
    </message>
    <message>
        <source>Starts Hallwire once, at your next login</source>
        <translation>Démarre Hallwire une seule fois, à votre prochaine connexion</translation>
    </message>
    <message>
        <source>Incoming and iconized sound file</source>
        <translation>Fichier son de réception, fenêtre réduite</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is hidden</source>
        <translation>Le fichier WAV joué quand un message arrive pendant que la fenêtre est masquée</translation>
    </message>
    <message>
        <source>Browse for the incoming and iconized sound</source>
        <translation>Parcourir pour le son de réception, fenêtre réduite</translation>
    </message>
    <message>
        <source>Opens a file dialog to choose the wave file (Alt+Down in the field does the same)</source>
        <translation>Ouvre une boîte de dialogue pour choisir le fichier WAV (Alt+Bas dans le champ fait de même)</translation>
    </message>
    <message>
        <source>All incoming sound file</source>
        <translation>Fichier son de toute réception</translation>
    </message>
    <message>
        <source>The wave file played when a message arrives while the window is shown, and at start</source>
        <translation>Le fichier WAV joué quand un message arrive pendant que la fenêtre est affichée, et au démarrage</translation>
    </message>
    <message>
        <source>Browse for the all incoming sound</source>
        <translation>Parcourir pour le son de toute réception</translation>
    </message>
    <message>
        <source>Plays a sound when a message arrives</source>
        <translation>Joue un son quand un message arrive</translation>
    </message>
    <message>
        <source>Plays the sound only for messages that arrive while the window is hidden</source>
        <translation>Joue le son seulement pour les messages reçus pendant que la fenêtre est masquée</translation>
    </message>
    <message>
        <source>Opens the window when a message arrives while it is hidden</source>
        <translation>Ouvre la fenêtre quand un message arrive pendant qu&apos;elle est masquée</translation>
    </message>
    <message>
        <source>Enter sends the message; without it Enter starts a new line</source>
        <translation>Entrée envoie le message&#xa0;; sinon Entrée commence une nouvelle ligne</translation>
    </message>
    <message>
        <source>Puts the colours, sound files and options back to their first values</source>
        <translation>Remet les couleurs, les fichiers son et les options à leurs valeurs initiales</translation>
    </message>
    <message>
        <source>Opens the page of WINS servers and remote subnets</source>
        <translation>Ouvre la page des serveurs WINS et des sous-réseaux distants</translation>
    </message>
    <message>
        <source>Saves the settings and closes the dialog</source>
        <translation>Enregistre les réglages et ferme la boîte de dialogue</translation>
    </message>
    <message>
        <source>Closes the dialog without saving</source>
        <translation>Ferme la boîte de dialogue sans enregistrer</translation>
    </message>
</context>
<context>
    <name>hw::desktop::TColorComboBox</name>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Marron</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Bleu marine</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Violet</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Sarcelle</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Gris</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Argent</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Citron vert</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
</context>
</TS>
