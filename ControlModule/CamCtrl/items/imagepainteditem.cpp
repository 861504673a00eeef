#include "imagepainteditem.h"

ImagePaintedItem::ImagePaintedItem(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
}

ImagePaintedItem::~ImagePaintedItem() = default;

void ImagePaintedItem::paint(QPainter*)
{
    // Frames are painted once the camera controllers deliver them.
}
