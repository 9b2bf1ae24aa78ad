#include "desktop/ShownText.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <vector>

namespace hw {
namespace {

constexpr const char* kContext = "hw::ShownText";

// Texts with names or numbers in them are listed with %1, %2... in their places and
// found by pattern; a place never spans lines, so a text built around another one
// (the error box's count of further errors) is never taken apart.
const char* const kTexts[] = {
    QT_TRANSLATE_NOOP("hw::ShownText", "Unknown error"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Cannot open file %1"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Cannot create file %1"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Stream write error"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Text exceeds memo capacity"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Unable to write to %1"),
    QT_TRANSLATE_NOOP("hw::ShownText", "No MCI device open"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Invalid data type for '%1'"),
    QT_TRANSLATE_NOOP("hw::ShownText", "Failed to set data for '%1'"),
    QT_TRANSLATE_NOOP("hw::ShownText", "'%1' is not a valid integer value"),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The message is too long to send: it takes %1 bytes with the sender's name, at most %2 can be "
                      "sent (a letter outside English takes two bytes or more)"),
    QT_TRANSLATE_NOOP("hw::ShownText", "No network interface is up: messages reach only this computer until one is."),
    QT_TRANSLATE_NOOP("hw::ShownText", "The network is back (%1)."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "Some remote announce targets in the settings cannot be used: \"%1\". Give IPv4 addresses, "
                      "each with an optional /WORKGROUP."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "Some WINS servers in the settings cannot be used: \"%1\". Give IPv4 addresses separated by "
                      "commas."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The remote announce list \"%1\" cannot be used: give IPv4 addresses, each with an optional "
                      "/WORKGROUP, separated by commas"),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The WINS server list \"%1\" cannot be used: give IPv4 addresses separated by commas"),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The workgroup name \"%1\" cannot be used: a workgroup name has 1 to 15 characters and none "
                      "of \\ / : * ? \" < > |"),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The datagram port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the "
                      "CAP_NET_BIND_SERVICE capability). Messages from other computers cannot arrive."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The datagram port %1 (UDP) cannot be used: another program holds it and does not share it. "
                      "Messages from other computers cannot arrive."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The name port %1 (UDP) cannot be used: ports below 1024 need privilege (root, or the "
                      "CAP_NET_BIND_SERVICE capability). Other computers cannot find this computer by its name."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The name port %1 (UDP) cannot be used: another program holds it and does not share it. "
                      "Other computers cannot find this computer by its name."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "A duplicate name exists on the network: the computer at %1 also uses the name %2. Messages "
                      "for %3 may reach either computer; give one of them another name."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "A duplicate name exists on the network: another computer uses the name %1. Messages for %2 "
                      "may reach either computer; give one of them another name."),
    QT_TRANSLATE_NOOP("hw::ShownText",
                      "The registry file %1 was damaged; it was set aside as %2 and a new one was started."),
};

struct TPattern {
  const char* source;
  QRegularExpression match;
};

const std::vector<TPattern>& Patterns() {
  static const std::vector<TPattern> patterns = [] {
    std::vector<TPattern> list;
    static const QRegularExpression place("%[1-9]");
    for (const char* source : kTexts) {
      const QString text = QString::fromUtf8(source);
      QString expression = "^";
      qsizetype from = 0;
      for (auto it = place.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch found = it.next();
        expression += QRegularExpression::escape(text.mid(from, found.capturedStart() - from)) + "(.*)";
        from = found.capturedEnd();
      }
      expression += QRegularExpression::escape(text.mid(from)) + "$";
      list.push_back({source, QRegularExpression(expression)});
    }
    return list;
  }();
  return patterns;
}

}  // namespace

QString ShownText(const std::string& english) {
  const QString text = QString::fromUtf8(english.data(), static_cast<qsizetype>(english.size()));
  for (const TPattern& pattern : Patterns()) {
    const QRegularExpressionMatch found = pattern.match.match(text);
    if (!found.hasMatch()) continue;
    // One pass, so that a name with "%2" in it stays as it is.
    const QString translated = QCoreApplication::translate(kContext, pattern.source);
    QString shown;
    for (qsizetype i = 0; i < translated.size(); ++i) {
      const int place = i + 1 < translated.size() && translated[i] == '%' ? translated[i + 1].digitValue() : -1;
      if (place >= 1 && place <= found.lastCapturedIndex()) {
        shown += found.captured(place);
        ++i;
      } else {
        shown += translated[i];
      }
    }
    return shown;
  }
  return text;
}

}  // namespace hw
