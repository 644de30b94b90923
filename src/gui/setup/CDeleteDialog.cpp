#include "CDeleteDialog.h"

#include "app/HelpShortcut.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CDeleteDialog::CDeleteDialog(QWidget* parent)
    : QDialog(parent), m_byDrive(new QRadioButton(QStringLiteral("By Drive"))),
      m_byVolser(new QRadioButton(QStringLiteral("By Volser"))), m_tree(new QTreeWidget)
{
    setObjectName(QStringLiteral("CDeleteDialog"));
    setWindowTitle(QStringLiteral("Data Removal Options"));
    m_byDrive->setObjectName(QStringLiteral("ByDrive"));
    m_byVolser->setObjectName(QStringLiteral("ByVolser"));
    m_tree->setObjectName(QStringLiteral("IpAddresses"));
    m_tree->setHeaderLabel(QStringLiteral("IP Addresses"));
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* remove = new QPushButton(QStringLiteral("Delete"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    remove->setObjectName(QStringLiteral("Delete"));
    close->setObjectName(QStringLiteral("Close"));
    remove->setAutoDefault(false);
    close->setAutoDefault(false);

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_byDrive);
    modes->addWidget(m_byVolser);
    modes->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(m_tree, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addLayout(body, 1);

    connect(m_byDrive, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseMode(RemovalMode::ByDrive);
    });
    connect(m_byVolser, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseMode(RemovalMode::ByVolser);
    });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CDeleteDialog::takeSelection);
    connect(remove, &QPushButton::clicked, this, &CDeleteDialog::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    addHelpShortcut(this, [] { return HelpContext::DataRemovalDialog; });
    resize(420, 460);
}

void CDeleteDialog::chooseMode(RemovalMode mode)
{
    m_mode = mode;
    rebuildTree();
}

void CDeleteDialog::rebuildTree()
{
    m_tree->clear();
    m_selection = {};
    const auto libraries = loadRemovalTree(m_mode);
    if (!libraries)
        return;
    QList<QTreeWidgetItem*> roots;
    for (const RemovalLibrary& library : *libraries) {
        roots.append(new QTreeWidgetItem(QStringList{QString::fromStdString(library.address)}));
        for (const std::string& entry : library.entries)
            roots.back()->addChild(new QTreeWidgetItem(QStringList{QString::fromStdString(entry)}));
    }
    // The tree owns every item from here on.
    m_tree->addTopLevelItems(roots);
}

void CDeleteDialog::takeSelection()
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty()) {
        m_selection = {};
        return;
    }
    const QTreeWidgetItem* item = selected.front();
    std::optional<std::string> parent;
    if (item->parent() != nullptr)
        parent = item->parent()->text(0).toStdString();
    m_selection = selectionFromTreeItem(m_mode, parent, item->text(0).toStdString());
}

void CDeleteDialog::deleteSelected()
{
    if (runDataRemoval(m_mode, m_selection))
        rebuildTree();
}
