// The option template's split into arguments, with values filled in after the split.
//
// Input: lines of text (UTF-8): an option template, the values of {width}, {height}, {bitrate} and
// {fps}, and last a file path that takes the rest, line breaks and all.

#include "engine/toolcommand.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <iterator>

namespace {

const QString kProgram = QStringLiteral("/tools/encoder");
const QString kKeys[] = {QStringLiteral("{width}"), QStringLiteral("{height}"),
                         QStringLiteral("{bitrate}"), QStringLiteral("{fps}")};
constexpr int kKeyCount = int(std::size(kKeys));

// Stand-ins for the values: one character each, from the private use area.
QChar marker(int key) { return QChar(0xE000 + key); }
int keyOfMarker(QChar c)
{
    const int key = c.unicode() - 0xE000;
    return key >= 0 && key < kKeyCount ? key : -1;
}

bool hasMarker(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return keyOfMarker(c) >= 0; });
}

QString withValues(const QString &text, const TemplateValues &values)
{
    QString filled;
    for (const QChar c : text) {
        const int key = keyOfMarker(c);
        filled += key < 0 ? QString(c) : values[key].second;
    }
    return filled;
}

ToolCommand build(const QString &optionTemplate, const TemplateValues &values, const QString &path)
{
    return ToolCommandBuilder(kProgram)
        .options(optionTemplate, values)
        .path(path)
        .options(QStringLiteral("-o"))
        .path(path)
        .command();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList fields = input.split(QLatin1Char('\n'));
    if (fields.size() < kKeyCount + 2)
        return 0;
    const QString optionTemplate = fields.takeFirst();
    TemplateValues values;
    TemplateValues markers;
    for (int key = 0; key < kKeyCount; ++key) {
        values.append({kKeys[key], fields.takeFirst()});
        markers.append({kKeys[key], QString(marker(key))});
    }
    const QString path = fields.join(QLatin1Char('\n'));
    if (hasMarker(optionTemplate) || hasMarker(path))
        return 0;

    const QStringList tokens = optionTemplate.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const ToolCommand real = build(optionTemplate, values, path);
    const ToolCommand marked = build(optionTemplate, markers, path);

    // The template alone decides how many arguments there are: one per blank-separated token,
    // then the path, "-o" and the path again, each whole.
    const qsizetype count = tokens.size() + 3;
    FUZZ_CHECK(real.arguments.size() == count && marked.arguments.size() == count);
    FUZZ_CHECK(real.arguments[count - 3] == path && real.arguments[count - 1] == path);
    FUZZ_CHECK(real.arguments[count - 2] == QLatin1String("-o"));
    FUZZ_CHECK(real.text.endsWith(QLatin1Char('"') + path + QLatin1Char('"')));

    // Each value lands whole inside the argument whose token held its placeholder: the command
    // with the values is the command with stand-ins, each stand-in replaced by its value.
    for (qsizetype i = 0; i < count; ++i)
        FUZZ_CHECK(withValues(marked.arguments[i], values) == real.arguments[i]);
    FUZZ_CHECK(withValues(marked.text, values) == real.text);

    // No placeholder is lost: a value goes in wherever its key stood in the unquoted token.
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        QString unquoted = tokens[i];
        unquoted.remove(QLatin1Char('"'));
        for (int key = 0; key < kKeyCount; ++key)
            FUZZ_CHECK(marked.arguments[i].count(marker(key)) == unquoted.count(kKeys[key]));
    }

    // Quotes show in the text and not in the vector. A quote inside a placeholder ({f"ps}) is a
    // broken template whose two forms cannot agree, so those tokens are left out.
    const ToolCommand optionsOnly =
        ToolCommandBuilder(kProgram).options(optionTemplate, markers).command();
    const QStringList textTokens = optionsOnly.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    FUZZ_CHECK(textTokens.size() == tokens.size() + 1 && textTokens[0] == kProgram);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        QString unquoted = tokens[i];
        unquoted.remove(QLatin1Char('"'));
        const bool keyCutByQuote =
            std::any_of(std::begin(kKeys), std::end(kKeys),
                        [&](const QString &key) { return unquoted.count(key) != tokens[i].count(key); });
        if (keyCutByQuote)
            continue;
        QString textForm = textTokens[i + 1];
        FUZZ_CHECK(optionsOnly.arguments[i] == textForm.remove(QLatin1Char('"')));
    }
    return 0;
}
