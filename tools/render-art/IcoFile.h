#pragma once
// Writer for Windows icon files (.ico). Qt's own icon writer is an optional
// plugin, so the container is written here: each image becomes one directory
// entry, stored as a 32-bit BGRA bitmap with its AND mask (sizes below 256)
// or as an embedded PNG (256 x 256), the way desktop icon files are laid out.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace art {

// Encodes the images, in the given order, into an icon file. Every image must
// be between 1 and 256 pixels wide and high. Returns an empty array and sets
// *error when an image cannot be stored.
QByteArray EncodeIco(const QList<QImage>& images, QString* error);

}  // namespace art
