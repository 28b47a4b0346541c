// The "&BDMV" tab: the folder line with its folder button and "&Read", and the
// groups of index.bdmv, MovieObject.bdmv and sound.bdmv.  The tab shows the
// index and movie object models the main window owns and keeps the two groups
// in step: a title shows its movie object, and movie object edits redraw the
// titles whose references moved.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "app/bdmv/bdmv_context.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace lumora::app {

class IndexView;
class MovieObjectView;
class SoundView;

class BdmvTab : public QWidget {
    Q_OBJECT
public:
    explicit BdmvTab(QWidget* parent = nullptr);

    // The models and the reporter the views work on; until then the tab shows
    // empty models of its own.
    void attach(NavigationModels& models, Reporter& reporter);
    void setNameSet(const NameSet& names);
    // Runs the ExtensionData dialog (tests replace the modal run).
    void setExtDatRunner(std::function<bool(TfExtDat&)> runner);
    void setOutputFolder(std::function<QString()> outputFolder);

    // The steps of a folder Read: empty models and views; the BD-J object
    // names; the movie object file read; the index file read.
    void clear();
    void showBdjNames(const std::vector<std::string>& names);
    void showMovieObjects(bool good);
    void showIndex(bool good);

    // Save writes the index after a good read, and there is something to
    // write.
    bool canSave() const;
    // The selected movie object holds commands to run.
    bool canStart() const;

    const BdmvContext& context() const { return context_; }

    QLineEdit* eBDMVdir;
    QToolButton* bbOpenDir;
    QPushButton* bReadBDMV;
    SoundView* soundView;
    QGroupBox* gbSound;  // the sound view
    IndexView* indexView;
    MovieObjectView* movieObjectView;

signals:
    // A movie object was selected (-1: none is).
    void objectSelected(int object);
    // Movie objects were inserted or deleted.
    void objectsChanged();
    // A BD-J title was double-clicked; `fileIndex` is its BD-J object entry.
    void bdjTitleActivated(int fileIndex);
    // Something that decides whether Save or Start is enabled changed.
    void rolesChanged();

private:
    void connectViews();

    NavigationModels ownModels_;
    BdmvContext context_;
};

}  // namespace lumora::app
