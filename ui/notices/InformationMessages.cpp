#include "InformationMessages.h"

#include "QtText.h"
#include "UserTexts.h"

#include <QStringList>

namespace parlowen::InformationMessages {

namespace {

constexpr char16_t IdeographicSpace = u'\u3000';
constexpr qsizetype CreditIndent = 16;

QString JoinLines(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

QString ProductLine() {
    return ToQString(UserTexts::ProductLine);
}

QString VersionLine() {
    return QString(8, IdeographicSpace) + QStringLiteral("(Ver 1.00)");
}

QString AuthorLine() {
    return QStringLiteral(u"作成・制作") + IdeographicSpace + QStringLiteral(u"Parlowen プロジェクト");
}

QString MakerLine() {
    return QString(CreditIndent, u' ') + QStringLiteral("Parlowen Project");
}

QString ContactLine() {
    return QString(CreditIndent, u' ') + QStringLiteral("parlowen@example.org");
}

QString ProductInformationTitle() {
    return QStringLiteral("Product Information");
}

QString VersionInformationTitle() {
    return QStringLiteral("Version Information");
}

QString ProductInformationText() {
    return JoinLines({ProductLine(), VersionLine(), AuthorLine(), MakerLine(), ContactLine()});
}

QString CreditText() {
    return JoinLines({AuthorLine(), MakerLine(), ContactLine()});
}

QString VersionInformationText() {
    return JoinLines({ProductLine(), VersionLine()});
}

} // namespace parlowen::InformationMessages
