// The "&BDMV" tab: the folder line with its folder button and "&Read", and the
// groups of index.bdmv, MovieObject.bdmv and sound.bdmv.
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace lumora::app {

class BdmvTab : public QWidget {
    Q_OBJECT
public:
    explicit BdmvTab(QWidget* parent = nullptr);

    QLineEdit* eBDMVdir;
    QToolButton* bbOpenDir;
    QPushButton* bReadBDMV;
    QGroupBox* gbSound;
    QGroupBox* gbIndex;
    QGroupBox* gbMovieObject;
    QLabel* lIndexExtDat;
    QPushButton* bIndexExtDat;
    QLabel* lObjExtDat;
    QPushButton* bObjExtDat;
};

}  // namespace lumora::app
