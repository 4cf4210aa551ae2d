#include "CommandLine.h"

#include "ArgumentText.h"
#include "BatchRunner.h"
#include "ColorTable.h"
#include "Cp932Codec.h"
#include "HtmlColor.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>

namespace parlowen {
namespace {

const QString RemoveBlankLinesOption = QStringLiteral("remove-blank-lines");
const QString RemoveSeparatorLinesOption = QStringLiteral("remove-separator-lines");
const QString PageColorOption = QStringLiteral("page-color");
const QString EntryOption = QStringLiteral("entry");
const QString EntryColorOption = QStringLiteral("entry-color");
const QString EmphasisOption = QStringLiteral("emphasis");
const QString SpeakerOption = QStringLiteral("speaker");
const QString EncodingOption = QStringLiteral("encoding");

const QString Description =
    QStringLiteral("Tidies Japanese chat logs in Shift-JIS, UTF-8 or UTF-16.\n"
                   "\n"
                   "  parlowen [PATH]            the window; PATH a folder lists it, a .txt log selects it\n"
                   "  parlowen convert [OPTIONS] LOG...\n"
                   "                             rewrites each LOG in place with its lines in reverse order\n"
                   "  parlowen html [OPTIONS] LOG...\n"
                   "                             writes NAME.html beside each NAME.txt\n"
                   "\n"
                   "COLOR is a colour as the palette writes it (255,00,00 or 00, 51, 102) or #RRGGBB.\n"
                   "Keywords are UTF-8; for a Shift-JIS LOG they must be writable in Shift-JIS.\n"
                   "Exit status: 0 every LOG done, 1 a LOG refused or failed, 2 a usage error.");

// The palette's texts ("255, 204,00") and the defaults' single "0"; the command line takes no other.
bool IsColorText(const QString& text) {
    static const QStringList levels{"255", "204", "153", "102", "51", "00", "0"};
    const QStringList components = text.split(u',');
    if (components.size() != 3) {
        return false;
    }
    for (qsizetype index = 0; index < components.size(); ++index) {
        const QString& component = components[index];
        const QString level = index > 0 && component.startsWith(u' ') ? component.mid(1) : component;
        if (!levels.contains(level)) {
            return false;
        }
    }
    return true;
}

struct Usage {
    QString error;
    bool Failed() const { return !error.isEmpty(); }
    void Fail(const QString& message) {
        if (error.isEmpty()) {
            error = message;
        }
    }
};

std::u16string Color(const QString& text, std::u16string_view fallback, Usage& usage) {
    if (text.isEmpty()) {
        return std::u16string(fallback);
    }
    if (!IsColorText(text) && !IsHtmlColor(text.toStdU16String())) {
        usage.Fail(QStringLiteral("\"%1\" is not a colour: give it as 255,00,00 or #FF0000").arg(text));
    }
    return text.toStdU16String();
}

// A keyword that a Shift-JIS log cannot hold could never match its lines; with the encoding left to each
// log, each Shift-JIS log is refused for it instead.
std::u16string Keyword(const QString& text, EncodingChoice encoding, Usage& usage) {
    if (ArgumentText::HasRawBytes(text)) {
        usage.Fail(QStringLiteral("keyword \"%1\" is not UTF-8").arg(text));
    } else if (encoding == EncodingChoice::ShiftJis && !Cp932Codec::Encode(text.toStdU16String()).Ok()) {
        usage.Fail(QStringLiteral("keyword \"%1\" has a character that Shift-JIS cannot hold").arg(text));
    }
    return text.toStdU16String();
}

HtmlOptions ReadHtmlOptions(const QCommandLineParser& parser, EncodingChoice encoding, Usage& usage) {
    ColorTable colors;
    colors.Reset();
    colors.Set(ColorTable::PageSlot, Color(parser.value(PageColorOption), ColorTable::PageDefault, usage));
    colors.Set(ColorTable::EntrySlot, Color(parser.value(EntryColorOption), ColorTable::EntryDefault, usage));
    const QStringList speakers = parser.values(SpeakerOption);
    if (speakers.size() > static_cast<qsizetype>(ColorTable::SpeakerCount)) {
        usage.Fail(QStringLiteral("--speaker is given %1 times; there are %2 keyword boxes")
                       .arg(speakers.size())
                       .arg(ColorTable::SpeakerCount));
    }
    std::array<std::u16string, ColorTable::SpeakerCount> keywords;
    for (std::size_t speaker = 0; speaker < keywords.size() && speaker < std::size_t(speakers.size());
         ++speaker) {
        const QString& given = speakers[static_cast<qsizetype>(speaker)];
        // A keyword may hold "=", a colour never does.
        const qsizetype equals = given.lastIndexOf(u'=');
        if (equals < 0) {
            usage.Fail(QStringLiteral("--speaker \"%1\" has no \"=\": give it as KEYWORD=COLOR").arg(given));
            continue;
        }
        keywords[speaker] = Keyword(given.left(equals), encoding, usage);
        colors.Set(ColorTable::SpeakerSlot(speaker),
                   Color(given.mid(equals + 1), ColorTable::SpeakerDefault, usage));
    }
    const std::u16string entry = Keyword(parser.value(EntryOption), encoding, usage);
    return MakeHtmlOptions(colors, parser.isSet(EmphasisOption), entry, keywords);
}

CommandLineRequest UsageError(const QString& text) {
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::UsageError;
    request.text = text;
    return request;
}

} // namespace

bool CommandLine::IsWindowless(const QStringList& arguments) {
    if (arguments.size() < 2) {
        return false;
    }
    const QString& first = arguments[1];
    return first.startsWith(u'-') || first == QLatin1String(ConvertCommand) ||
           first == QLatin1String(HtmlCommand);
}

CommandLineRequest CommandLine::Parse(const QStringList& arguments) {
    if (!IsWindowless(arguments)) {
        if (arguments.size() > 2) {
            return UsageError(
                QStringLiteral("the window takes one folder or log, not %1").arg(arguments.size() - 1));
        }
        CommandLineRequest request;
        request.windowPath = arguments.value(1);
        return request;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(Description);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({
        {RemoveBlankLinesOption, QStringLiteral("Drop blank lines, as OK to \"空白行を除去しますか？\".")},
        {RemoveSeparatorLinesOption,
         QStringLiteral("Empty \"----\" lines, as OK to \"区切り線「----」行を除去しますか？\".")},
        {PageColorOption, QStringLiteral("html: the page background (default 255,255,255)."),
         QStringLiteral("COLOR")},
        {EntryOption, QStringLiteral("html: the entry/exit keyword."), QStringLiteral("KEYWORD")},
        {EntryColorOption, QStringLiteral("html: the colour of entry/exit lines (default 00,00,00)."),
         QStringLiteral("COLOR")},
        {EmphasisOption,
         QStringLiteral("html: set lines that begin with the entry keyword in bold, in its colour.")},
        {SpeakerOption,
         QStringLiteral(
             "html: up to ten times, in the order of the keyword boxes: lines that begin with KEYWORD "
             "in COLOR (default 0,0,0)."),
         QStringLiteral("KEYWORD=COLOR")},
        {EncodingOption,
         QStringLiteral(
             "The logs' encoding: auto (default: a byte-order mark, else UTF-8 when the whole log is "
             "UTF-8, else Shift-JIS), shift-jis, utf-8, utf-16le or utf-16be."),
         QStringLiteral("ENCODING"), QStringLiteral("auto")},
    });
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("convert or html"));
    parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral(".txt logs"),
                                 QStringLiteral("LOG..."));
    if (!parser.parse(arguments)) {
        return UsageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        CommandLineRequest request;
        request.action = CommandLineRequest::Action::Help;
        request.text = parser.helpText();
        return request;
    }
    if (parser.isSet(version)) {
        CommandLineRequest request;
        request.action = CommandLineRequest::Action::Version;
        request.text =
            QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        return request;
    }

    QStringList positional = parser.positionalArguments();
    const QString command = positional.isEmpty() ? QString() : positional.takeFirst();
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Batch;
    BatchRequest& batch = request.batch;
    if (command == QLatin1String(HtmlCommand)) {
        batch.command = BatchCommand::Html;
    } else if (command != QLatin1String(ConvertCommand)) {
        return UsageError(command.isEmpty() ? QStringLiteral("no command: give convert or html")
                                            : QStringLiteral("unknown command \"%1\"").arg(command));
    }
    if (positional.isEmpty()) {
        return UsageError(QStringLiteral("%1: no LOG given").arg(command));
    }
    batch.logs = positional;
    batch.answers.removeBlankLines = parser.isSet(RemoveBlankLinesOption);
    batch.answers.removeSeparatorLines = parser.isSet(RemoveSeparatorLinesOption);

    Usage usage;
    if (const std::optional<EncodingChoice> encoding =
            ParseEncodingChoice(parser.value(EncodingOption).toStdString())) {
        batch.encoding = *encoding;
    } else {
        usage.Fail(
            QStringLiteral("unknown encoding \"%1\": give auto, shift-jis, utf-8, utf-16le or utf-16be")
                .arg(parser.value(EncodingOption)));
    }
    if (batch.command == BatchCommand::Convert) {
        for (const QString& option :
             {PageColorOption, EntryOption, EntryColorOption, EmphasisOption, SpeakerOption}) {
            if (parser.isSet(option)) {
                usage.Fail(QStringLiteral("--%1 belongs to html, not convert").arg(option));
            }
        }
    } else {
        batch.options = ReadHtmlOptions(parser, batch.encoding, usage);
    }
    return usage.Failed() ? UsageError(usage.error) : request;
}

int CommandLine::Run(const CommandLineRequest& request, std::ostream& output, std::ostream& errors,
                     bool errorsIsTerminal) {
    switch (request.action) {
    case CommandLineRequest::Action::Help:
    case CommandLineRequest::Action::Version:
        output << ArgumentText::Encode(request.text) << std::flush;
        return ExitDone;
    case CommandLineRequest::Action::Batch:
        return BatchRunner(errors, errorsIsTerminal).Run(request.batch);
    case CommandLineRequest::Action::UsageError:
    case CommandLineRequest::Action::Window:
        break;
    }
    errors << "parlowen: " << ArgumentText::Encode(request.text) << "\nTry 'parlowen --help'.\n"
           << std::flush;
    return ExitUsage;
}

} // namespace parlowen
