#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QRadioButton;

// A framed, captioned column of radio buttons with one chosen item.
// itemClicked() is raised only when the chosen index changes, by the user
// or by setItemIndex(), after the new index is in place; clicking the item
// already chosen raises nothing. The window's type rules depend on exactly
// these notifications.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList items() const;
    // Replaces the items; leaves no item chosen (index -1) and raises nothing.
    void setItems(const QStringList& items);

    int itemIndex() const { return index_; }
    // Chooses an item (-1 for none); raises itemClicked() once if the index changed.
    void setItemIndex(int index);

    QRadioButton* button(int index) const;

signals:
    void itemClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void choose(int index);
    void placeButtons();
    void showChoice();

    QButtonGroup group_;
    QList<QRadioButton*> buttons_;
    int count_ = 0;
    int index_ = -1;
};
