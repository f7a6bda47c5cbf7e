#include "engine/toolcommand.h"

#include <algorithm>

namespace {

// One pass over the template, so that a value is never searched for placeholders itself.
QString fillIn(const QString &text, const TemplateValues &values)
{
    QString filled;
    for (qsizetype i = 0; i < text.size();) {
        const auto match = std::find_if(values.begin(), values.end(), [&](const auto &entry) {
            return !entry.first.isEmpty() && QStringView(text).mid(i).startsWith(entry.first);
        });
        if (match == values.end()) {
            filled += text.at(i++);
        } else {
            filled += match->second;
            i += match->first.size();
        }
    }
    return filled;
}

} // namespace

ToolCommandBuilder::ToolCommandBuilder(const QString &program)
{
    m_command.program = program;
    m_command.text = program + QLatin1Char(' ');
}

void ToolCommandBuilder::append(const QString &argument, const QString &textForm)
{
    if (!m_command.arguments.isEmpty())
        m_command.text += QLatin1Char(' ');
    m_command.arguments << argument;
    m_command.text += textForm;
}

ToolCommandBuilder &ToolCommandBuilder::options(const QString &optionTemplate,
                                                const TemplateValues &values)
{
    const QStringList tokens = optionTemplate.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &token : tokens) {
        QString unquoted = token;
        unquoted.remove(QLatin1Char('"'));
        append(fillIn(unquoted, values), fillIn(token, values));
    }
    return *this;
}

ToolCommandBuilder &ToolCommandBuilder::path(const QString &filePath)
{
    append(filePath, QLatin1Char('"') + filePath + QLatin1Char('"'));
    return *this;
}
