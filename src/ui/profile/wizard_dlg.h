#pragma once
// CWizardDlg: a generic wizard. A picture on the left, the current page's
// title in a gradient band above the page, and Back / Next / Cancel below.
// The default button reads "&Next >" and shows the next page, or "&Convert"
// on the last page, where it runs OnFinish. Subclasses add their pages
// before the wizard runs and may override ShowPage and OnFinish.

#include <QDialog>
#include <QString>

#include <vector>

class QPushButton;

namespace veltrim::ui {

class CGradientCaption;

// One page of a wizard. ReadFields takes the controls' values before the
// page is left; false keeps the page showing.
class CWizardPage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  virtual bool ReadFields() { return true; }
};

class CWizardDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CWizardDlg(QWidget* owner = nullptr);

  // Appends a page (the wizard becomes its parent). A title holds the bold
  // left-hand text, a tab, and the right-hand text of the band.
  void AddPage(const QString& title, CWizardPage* page);
  // Hides the current page after reading its fields (it stays when they
  // cannot be read), shows page index and puts its title into the band.
  virtual void ShowPage(int index);

  int CurrentPage() const { return current_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  CWizardPage* Page(int index) const { return pages_.at(static_cast<std::size_t>(index)).page; }
  QPushButton* BackButton() const { return back_; }
  QPushButton* NextButton() const { return next_; }
  QPushButton* CancelButton() const { return cancel_; }
  CGradientCaption* Caption() const { return caption_; }

  // The buttons' actions (public so a caller can drive the wizard).
  void OnNext();
  void OnBack();

 protected:
  // The default button on the last page; the base class closes with OK.
  virtual void OnFinish();
  void showEvent(QShowEvent* event) override;

 private:
  struct Entry {
    QString title;
    CWizardPage* page;
  };
  void OnInitDialog();
  // Back is available past the first page; the default button names what
  // it does on the page that shows.
  void UpdateButtons();

  std::vector<Entry> pages_;
  int current_ = -1;
  bool initialised_ = false;
  QRect pageRect_;
  CGradientCaption* caption_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace veltrim::ui
