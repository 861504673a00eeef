#pragma once

#include <QQuickPaintedItem>

// Shows the live or a stored frame in the capture and image pages.
class ImagePaintedItem : public QQuickPaintedItem {
    Q_OBJECT
public:
    explicit ImagePaintedItem(QQuickItem* parent = nullptr);
    ~ImagePaintedItem() override;

    void paint(QPainter* painter) override;
};
