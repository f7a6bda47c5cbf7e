#pragma once

#include "profiles/outputprofile.h"

#include <QDate>
#include <QString>
#include <QTime>

// Converted files go to root/Zepora-ZPX/<year>-<month>-<day>/, named by the time of day
// ("09-05-03.avi") or, for the PSP, "M4V" and a five-digit number ("M4V00000.mp4").

// root, a "/" unless the root ends in one, and "Zepora-ZPX"; no trailing "/".
QString ProductFolder(const QString &root);
// The day's folder under the root, with a trailing "/".
QString OutputDirFor(const QString &root, const QDate &date);

// Today's folder under the stored root (or under "/" with no usable root), with a trailing "/".
QString GetOutputDir();
// Creates today's folder with every missing parent; true when it exists afterwards.
bool PrepareOutputDir();

// The extension of the file the encoder writes for a type; an intermediate ".avi" for the five types
// a later pass turns into their final file (3GP, the MP4 types but the PSP).
QString OutputExtension(OutputType type);

// The path of the next conversion's output in `dir`. Nothing that exists is ever overwritten: a
// time-of-day name whose base is taken by any file ("09-05-03.avi", "09-05-03.mp4", ...) gets
// "-2", "-3", ... before its extension; the PSP takes the lowest free number.
QString GetOutputFileName(const QString &dir, OutputType type, const QTime &now);
