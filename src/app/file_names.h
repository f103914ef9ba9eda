#pragma once
// File names as the system keeps them: bytes, which need not be UTF-8 (Shift-JIS names
// from Japanese file servers are common).

#include <string>

#include <QString>

class QMimeData;

namespace kestrel::app {

// The bytes of the file a path from Qt (a file dialog, a URL) names. Qt shows bytes
// that are not UTF-8 as replacement characters and cannot give them back; such a path
// is matched against the folders' entries, one component at a time. A component that
// matches no entry, or more than one, is left as Qt encodes it.
std::string LocalPathBytes(const QString& path);

// The bytes of the first local file dropped, from the URI list's percent-encoding (which
// keeps any byte) where there is one; empty when no local file was dropped.
std::string DroppedFileBytes(const QMimeData& data);

// A name for people to read; bytes that are not UTF-8 show as replacement characters.
QString DisplayName(const std::string& bytes);

// The extension a file dialog's filter gives a name typed without one: "bmp" of
// "BMPファイル(*.bmp)"; none for a filter of every name ("*.*") or of several patterns.
QString FilterSuffix(const QString& filter);

}  // namespace kestrel::app
