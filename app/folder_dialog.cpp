#include "app/folder_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace warenkai {
namespace {

// A full path without a closing separator; a root keeps its own ("/", "C:/").
QString CleanFolder(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

// The root that holds `folder`, among `roots`; empty when none does.
QString RootOf(const QString& folder, const QStringList& roots) {
    QString best;
    const QString cleaned = QDir::cleanPath(folder);
    for (const QString& root : roots) {
        const QString cleanRoot = QDir::cleanPath(root);
        const QString withSeparator = cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
        if ((cleaned == cleanRoot || cleaned.startsWith(withSeparator)) && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

bool IsReadableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

}  // namespace

QStringList DriveRoots() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives()) {
        roots << drive.absoluteFilePath();
    }
    return roots;
}

Durchsuchen::Durchsuchen(QString& chosenFolder, QWidget* owner, const QString& startFolder, const QStringList& roots)
    : QDialog(owner), m_chosenFolder(chosenFolder) {
    setObjectName(QStringLiteral("Durchsuchen"));
    setWindowTitle(QStringLiteral("Durchsuchen"));
    setModal(true);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    for (const QString& root : roots) {
        m_drives->addItem(QDir::toNativeSeparators(root), root);
    }

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::Hidden | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);

    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setModel(m_model);
    m_folders->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column) {
        m_folders->hideColumn(column);
    }
    m_folders->setSelectionMode(QAbstractItemView::SingleSelection);
    m_folders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    m_openFolder = CleanFolder(m_model->filePath(current));
                }
            });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Durchsuchen::Ok);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Abbrechen"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_drives);
    layout->addWidget(m_folders, 1);
    layout->addLayout(buttons);
    // Wide enough for long folder names.
    resize(640, 560);
    m_folders->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_folders->header()->setStretchLastSection(false);

    // The folder list shows the roots with their folders and starts at the picture folder, or at
    // the current working folder when there is none.
    const QString start = CleanFolder(IsReadableFolder(startFolder) ? startFolder : QDir::currentPath());
    m_openDrive = RootOf(start, roots);
    if (m_openDrive.isEmpty() && !roots.isEmpty()) {
        m_openDrive = roots.front();
    }
    m_drives->setCurrentIndex(std::max(0, m_drives->findData(m_openDrive)));
    m_model->setRootPath(m_openDrive);
    ShowFolder(start);

    connect(m_drives, &QComboBox::activated, this, &Durchsuchen::DriveChosen);
    // The model reads folders in the background; once the open folder's siblings are in, the list
    // scrolls to it again so that it stands in view.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        const QModelIndex current = m_folders->currentIndex();
        if (m_scrollPending && current.isValid() && m_model->filePath(current.parent()) == loaded) {
            m_scrollPending = false;
            m_folders->scrollTo(current, QAbstractItemView::PositionAtCenter);
        }
    });
}

QString Durchsuchen::OpenFolder() const {
    return m_openFolder;
}

void Durchsuchen::DriveChosen(int index) {
    const QString root = m_drives->itemData(index).toString();
    if (!IsReadableFolder(root)) {
        // No medium or no access: the folder list stays as it was, and so does the drive shown.
        m_drives->setCurrentIndex(std::max(0, m_drives->findData(m_openDrive)));
        return;
    }
    m_openDrive = root;
    m_model->setRootPath(root);
    ShowFolder(root);
}

void Durchsuchen::ShowFolder(const QString& folder) {
    m_openFolder = CleanFolder(folder);
    const QModelIndex index = m_model->index(QDir::cleanPath(m_openFolder));
    if (!index.isValid()) {
        m_folders->setCurrentIndex({});
        return;
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        m_folders->expand(parent);
    }
    m_folders->expand(index);
    m_folders->setCurrentIndex(index);
    m_folders->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_scrollPending = true;
    // setCurrentIndex also reports the folder through currentChanged; it is the same folder.
    m_openFolder = CleanFolder(folder);
}

void Durchsuchen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only a laid-out list can centre the open folder.
    QTimer::singleShot(0, this, [this] {
        if (m_folders->currentIndex().isValid()) {
            m_folders->scrollTo(m_folders->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
}

void Durchsuchen::Ok() {
    m_chosenFolder = m_openFolder;
    accept();
}

}  // namespace warenkai
