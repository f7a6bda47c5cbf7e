#pragma once

#include "profiles/outputprofile.h"

#include <QTextStream>

class QCommandLineParser;

enum class TypeNames { All, Selectable };

// The output types' command-line names, space-separated, in the window's order.
QString CliTypeNames(TypeNames which);

// The output panel's three choices as command-line options: --size WxH, --bitrate N, --fps R.
void addOutputOptions(QCommandLineParser &parser);

// Applies the type's profile, then the choices the command line gives in its place; false (with a
// complaint on `err`) when a value is malformed.
bool panelFromOptions(const QCommandLineParser &parser, OutputType type, OutputPanel &panel,
                      QTextStream &err);
