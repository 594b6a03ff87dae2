#include "RadioGroup.h"

#include <QEvent>
#include <QRadioButton>

#include <algorithm>

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent) {
    // One stop in the tab order, like a single control: the focus goes on
    // to the chosen item (see showChoice), and the arrow keys move within.
    setFocusPolicy(Qt::TabFocus);
    // Clicks and the arrow keys both arrive here; the chosen item's own
    // click changes nothing.
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != index_)
            choose(id);
    });
}

QStringList RadioGroup::items() const {
    QStringList texts;
    for (int i = 0; i < count_; ++i)
        texts << buttons_[i]->text();
    return texts;
}

void RadioGroup::setItems(const QStringList& items) {
    // Buttons are reused rather than recreated so that they keep their
    // place in the window's tab order.
    while (buttons_.size() < items.size()) {
        auto* button = new QRadioButton(this);
        group_.addButton(button, static_cast<int>(buttons_.size()));
        buttons_ << button;
    }
    count_ = static_cast<int>(items.size());
    for (int i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->setVisible(i < count_);
        if (i < count_)
            buttons_[i]->setText(items[i]);
    }
    index_ = -1;
    showChoice();
    placeButtons();
}

void RadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= count_)
        index = -1;
    if (index == index_)
        return;
    choose(index);
}

QRadioButton* RadioGroup::button(int index) const {
    return index >= 0 && index < count_ ? buttons_[index] : nullptr;
}

void RadioGroup::choose(int index) {
    index_ = index;
    showChoice();
    emit itemClicked();
}

void RadioGroup::showChoice() {
    if (!buttons_.isEmpty())
        setFocusProxy(buttons_[std::max(index_, 0)]);
    if (index_ >= 0) {
        buttons_[index_]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; "no item" needs a pause.
    group_.setExclusive(false);
    for (QRadioButton* button : buttons_)
        button->setChecked(false);
    group_.setExclusive(true);
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    placeButtons();
}

void RadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        placeButtons();
}

void RadioGroup::placeButtons() {
    if (count_ == 0)
        return;
    // The items share the space inside the frame evenly, in one column.
    const QRect inside = contentsRect();
    const int rowHeight = inside.height() / count_;
    const int top = inside.top() + inside.height() % count_ / 2;
    for (int i = 0; i < count_; ++i)
        buttons_[i]->setGeometry(inside.left() + 6, top + i * rowHeight, inside.width() - 8,
                                 rowHeight);
}
