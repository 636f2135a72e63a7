#include "motif/documents/XS_ARP.h"

#include "motif/documents/XS_Voice.h"

void XS_ARP::setId(int id)
{
    content_number = id;
    filename = XS_Voice::FileName(id);
}

bool XS_ARP::hasData() const { return data_size != 0 || data_offset != 0 || !data_.isEmpty(); }

void XS_ARP::deleteData()
{
    data_size = 0;
    data_offset = 0;
    data_.reset();
}

QString XS_ARP::name() const
{
    return hasData() ? data_.readText(XS_Voice::NameOffset, XS_Voice::NameSize) : QString();
}

void XS_ARP::setName(const QString& name)
{
    if (!hasData()) return;
    content_name = name.left(XS_Voice::NameSize);
    data_.writeText(XS_Voice::NameOffset, content_name, XS_Voice::NameSize);
}

QString XS_ARP::info() const { return XS_Voice::EntryInfo(*this, data_.size()); }
