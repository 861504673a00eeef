#include "detailimageitem.h"

DetailImageItem::DetailImageItem(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
}

DetailImageItem::~DetailImageItem() = default;

void DetailImageItem::paint(QPainter*)
{
    // Pictures are painted once the stored-image reader is in place.
}
