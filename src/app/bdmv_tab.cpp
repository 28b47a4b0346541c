#include "app/bdmv_tab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/widget_helpers.h"

namespace lumora::app {

BdmvTab::BdmvTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsBDMV");
    auto* top = new QHBoxLayout;
    auto* folderLabel = new QLabel("BDMV folder:", this);
    eBDMVdir = new QLineEdit(this);
    eBDMVdir->setObjectName("eBDMVdir");
    eBDMVdir->setReadOnly(true);
    eBDMVdir->setToolTip("The BDMV folder");
    folderLabel->setBuddy(eBDMVdir);
    bbOpenDir = new QToolButton(this);
    bbOpenDir->setObjectName("bbOpenDir");
    bbOpenDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbOpenDir->setToolTip("Select a directory");
    bReadBDMV = button(this, "&Read", "bReadBDMV", "Read the BDMV folder");
    top->addWidget(folderLabel);
    top->addWidget(eBDMVdir, 1);
    top->addWidget(bbOpenDir);
    top->addWidget(bReadBDMV);

    gbSound = new QGroupBox("sound.bdmv", this);
    gbSound->setObjectName("gbSound");
    gbSound->setVisible(false);
    new QVBoxLayout(gbSound);

    gbIndex = new QGroupBox("index.bdmv", this);
    gbIndex->setObjectName("gbIndex");
    auto* indexLayout = new QVBoxLayout(gbIndex);
    indexLayout->addStretch(1);
    indexLayout->addLayout(
        extensionDataRow(gbIndex, "lIndexExtDat", "bIndexExtDat", lIndexExtDat, bIndexExtDat));

    gbMovieObject = new QGroupBox("MovieObject.bdmv", this);
    gbMovieObject->setObjectName("gbMovieObject");
    auto* objectLayout = new QVBoxLayout(gbMovieObject);
    objectLayout->addStretch(1);
    objectLayout->addLayout(
        extensionDataRow(gbMovieObject, "lObjExtDat", "bObjExtDat", lObjExtDat, bObjExtDat));

    // The sound group stacks above the index group; the index group takes
    // what the sound group leaves.
    auto* left = new QVBoxLayout;
    left->addWidget(gbSound);
    left->addWidget(gbIndex, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addWidget(gbMovieObject, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(columns, 1);
}

}  // namespace lumora::app
