#pragma once

#include <QQuickPaintedItem>

// Shows one stored picture in the image detail view.
class DetailImageItem : public QQuickPaintedItem {
    Q_OBJECT
public:
    explicit DetailImageItem(QQuickItem* parent = nullptr);
    ~DetailImageItem() override;

    void paint(QPainter* painter) override;
};
