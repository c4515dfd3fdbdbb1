#pragma once

#include <QString>

// Texts the main window derives from the extension box. `ext` is the box's
// text exactly as typed; only the MP3 test ignores letter case.
namespace mv {

inline QString ProductCaption(const QString& ext) {
    return ext + QStringLiteral(" Vandrel");
}

// The caption while the pointer rests on an entry, or the player's status.
inline QString FeedbackCaption(const QString& ext, const QString& text) {
    return ProductCaption(ext) + QStringLiteral(" - ") + text;
}

inline QString FileMask(const QString& ext) {
    return QStringLiteral("*.") + ext;
}

inline QString MakeCaption(const QString& ext) {
    return QStringLiteral("Find all ") + ext + QStringLiteral(" on this drive");
}

inline QString PercentLabel(const QString& ext) {
    return QStringLiteral("Min % to be equal between ") + ext + QStringLiteral(" names:");
}

inline QString ListEditCaption(const QString& ext) {
    return QStringLiteral("Edit ") + ext + QStringLiteral(" List");
}

}  // namespace mv
