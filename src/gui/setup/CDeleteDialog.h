#pragma once

#include "db/DataRemoval.h"

#include <QDialog>

class QRadioButton;
class QTreeWidget;

// "Data Removal Options": removes the stored mount history rows of one drive or one cartridge
// of a library, picked in a tree of the libraries and their drives or volsers.
class CDeleteDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDeleteDialog(QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    RemovalMode mode() const { return m_mode; }
    // Rebuilds the tree for the chosen mode; an empty tree without one.
    void rebuildTree();
    void deleteSelected();

private:
    void chooseMode(RemovalMode mode);
    void takeSelection();

    QRadioButton* m_byDrive;
    QRadioButton* m_byVolser;
    QTreeWidget* m_tree;
    RemovalMode m_mode = RemovalMode::None;
    RemovalSelection m_selection;
};
