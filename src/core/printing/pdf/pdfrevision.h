#pragma once

#include <QByteArray>
#include <QList>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <vector>

/// `pdf`, the file `document` was read from, with the objects `changed` written again after it
/// as an update of the file: the bytes before are kept as they are, and readers take the
/// objects of the update instead of the ones before. Objects that are not indirect are written
/// within the one holding them. A null array when the file's last cross-reference section
/// cannot be found.
QByteArray appendRevision(const QByteArray &pdf, QPDF &document,
                          const std::vector<QPDFObjectHandle> &changed);

/// The whole of `document` written anew, its streams passed through as they are.
QByteArray writeWhole(QPDF &document);
