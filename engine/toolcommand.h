#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// One tool run: the program and the argument vector it is started with, and the same command as
// one line of text for display, logs and tests. The text quotes every file path; the vector holds
// what the tool receives, so no file name is ever split or re-read.
struct ToolCommand {
    QString program;
    QStringList arguments;
    QString text;
};

using TemplateValues = QList<std::pair<QString, QString>>;

// Builds a ToolCommand from option templates and file paths.
class ToolCommandBuilder {
public:
    // The text starts with the tool's path (tool folder and name), unquoted, and a blank.
    explicit ToolCommandBuilder(const QString &program);

    // Appends fixed option text. The template is split at its blanks into arguments before the
    // placeholders are filled in, so a value can never split or join arguments. A double-quoted
    // part stays quoted in the text and loses its quotes in the vector (name="1" -> name=1).
    ToolCommandBuilder &options(const QString &optionTemplate, const TemplateValues &values = {});

    // Appends a file path as an argument of its own, between double quotes in the text.
    ToolCommandBuilder &path(const QString &filePath);

    const ToolCommand &command() const { return m_command; }

private:
    void append(const QString &argument, const QString &textForm);

    ToolCommand m_command;
};
