#pragma once
// A hyperlink: a label that shows text as a link and opens url (in the
// browser or the mail program) when clicked.

#include <QLabel>
#include <QUrl>

namespace veltrim::ui {

QLabel* MakeHyperlink(const QString& url, const QString& text, QWidget* parent);

// Opens a link with the desktop's program for it; a machine without one
// just does nothing.
void OpenExternalLink(const QUrl& url);

}  // namespace veltrim::ui
