#include "ui/prefs/program_settings_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/dialogs/prompts.h"

namespace veltrim::ui {
namespace {

constexpr char kNote[] =
    "The following extensions will be considered text files when the \"Auto\" transfer type is used";

QIcon TextFileIcon() {
  return QIcon::fromTheme(QStringLiteral("text-x-generic"),
                          QApplication::style()->standardIcon(QStyle::SP_FileIcon));
}

}  // namespace

CMyPropertyPage3::CMyPropertyPage3(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CMyPropertyPage3"));
  extensions_.append(QString());  // the end marker of the empty list
  auto* layout = new QVBoxLayout(this);

  auto* note = new QLabel(QString::fromLatin1(kNote), this);
  note->setWordWrap(true);
  layout->addWidget(note);

  auto* extensions = new QGridLayout;
  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSortingEnabled(true);
  list_->setViewMode(QListView::ListMode);
  list_->setFlow(QListView::TopToBottom);
  list_->setWrapping(true);
  list_->setResizeMode(QListView::Adjust);
  list_->setIconSize(QSize(16, 16));
  extensions->addWidget(list_, 0, 0, 4, 1);
  extensions->addWidget(new QLabel(QStringLiteral("Extension to add:"), this), 0, 1);
  edit_ = new QLineEdit(this);
  extensions->addWidget(edit_, 1, 1);
  auto* add = new QPushButton(QStringLiteral("&Add"), this);
  auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  extensions->addLayout(buttons, 2, 1);
  extensions->setRowStretch(3, 1);
  extensions->setColumnStretch(0, 1);
  layout->addLayout(extensions, 1);
  for (const auto& [id, widget] : {std::pair<int, QWidget*>{kExtensionList, list_}, {kExtensionEdit, edit_},
                                   {kAdd, add}, {kRemove, remove}}) {
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    controls_[id] = widget;
  }

  for (const auto& [id, text] : {std::pair{int(kShowIntro), "Show introduction dialog"},
                                 {int(kWelcome), "View directory welcome messages"},
                                 {int(kShowLog), "Show the log view of transactions"},
                                 {int(kShowTree), "Show the tree view of directories"},
                                 {int(kShowConnectionBar), "Show the connection bar of information"}}) {
    auto* box = new QCheckBox(QString::fromLatin1(text), this);
    box->setObjectName(QStringLiteral("check%1").arg(id));
    layout->addWidget(box);
    controls_[id] = box;
  }

  for (QPushButton* button : {add, remove}) button->setAutoDefault(false);
  connect(add, &QPushButton::clicked, this, &CMyPropertyPage3::OnAdd);
  connect(remove, &QPushButton::clicked, this, &CMyPropertyPage3::OnRemove);
}

QWidget* CMyPropertyPage3::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void CMyPropertyPage3::Load(const Preferences& prefs, const BarVisibility& bars) {
  // Readers stop at the first empty entry: the list is what comes before
  // it, followed by exactly one end marker.
  extensions_.clear();
  list_->clear();
  for (const QString& extension : prefs.Extensions) {
    if (extension.isEmpty()) break;
    extensions_.append(extension);
    AddRow(extension);
  }
  extensions_.append(QString());
  auto check = [this](int id, bool on) { static_cast<QCheckBox*>(controls_.at(id))->setChecked(on); };
  check(kShowIntro, prefs.ShowIntro);
  check(kWelcome, prefs.ShowWelcome);
  check(kShowLog, bars.sessionLog);
  check(kShowTree, bars.directories);
  check(kShowConnectionBar, bars.connectionBar);
}

void CMyPropertyPage3::Store(Preferences& prefs) const {
  prefs.Extensions = extensions_;
  prefs.ShowIntro = static_cast<QCheckBox*>(controls_.at(kShowIntro))->isChecked();
  prefs.ShowWelcome = static_cast<QCheckBox*>(controls_.at(kWelcome))->isChecked();
}

BarVisibility CMyPropertyPage3::Bars() const {
  auto checked = [this](int id) { return static_cast<QCheckBox*>(controls_.at(id))->isChecked(); };
  return {checked(kShowLog), checked(kShowTree), checked(kShowConnectionBar)};
}

void CMyPropertyPage3::AddRow(const QString& extension) {
  list_->addItem(new QListWidgetItem(TextFileIcon(), extension));
}

void CMyPropertyPage3::OnAdd() {
  QString extension = edit_->text().trimmed();
  if (extension.isEmpty()) {
    ShowMessage(this, QMessageBox::Critical, QStringLiteral("Nothing to Add"),
                QStringLiteral("You must enter an extension to add."));
    return;
  }
  if (!extension.startsWith(QLatin1Char('.'))) extension.prepend(QLatin1Char('.'));
  // The transfer type compares the lower-cased end of a file name, so an
  // entry with capitals could never match.
  extension = extension.toLower();
  AddRow(extension);
  extensions_.insert(extensions_.size() - 1, extension);  // before the end marker
  edit_->clear();
}

void CMyPropertyPage3::OnRemove() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    ShowMessage(this, QMessageBox::Critical, QStringLiteral("Nothing Selected"),
                QStringLiteral("You must select an extension to remove."));
    return;
  }
  const QString text = selected.first()->text();
  delete selected.first();
  const qsizetype index = extensions_.indexOf(text);
  if (index >= 0 && index < extensions_.size() - 1) extensions_.removeAt(index);
}

}  // namespace veltrim::ui
