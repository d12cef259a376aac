#include "ui/widgets/hyperlink_label.h"

#include <QDesktopServices>

namespace veltrim::ui {

QLabel* MakeHyperlink(const QString& url, const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()));
  label->setTextFormat(Qt::RichText);
  label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  label->setOpenExternalLinks(false);
  label->setCursor(Qt::PointingHandCursor);
  label->setToolTip(url);
  QObject::connect(label, &QLabel::linkActivated, label,
                   [](const QString& link) { OpenExternalLink(QUrl(link)); });
  return label;
}

void OpenExternalLink(const QUrl& url) { QDesktopServices::openUrl(url); }

}  // namespace veltrim::ui
