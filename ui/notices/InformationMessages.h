#pragma once

#include <QString>

namespace parlowen {

// The fixed texts of the product and version boxes, lines joined by CR LF with no break after the last.
namespace InformationMessages {

QString ProductLine();
QString VersionLine();
QString AuthorLine();
QString MakerLine();
QString ContactLine();

QString ProductInformationTitle();
QString VersionInformationTitle();

QString ProductInformationText(); // product, version, author, maker, contact
QString CreditText();             // author, maker, contact
QString VersionInformationText(); // product, version

} // namespace InformationMessages

} // namespace parlowen
