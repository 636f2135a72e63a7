#pragma once

#include "motif/MotifExport.h"
#include "motif/documents/X0V_Document.h"

#include <QString>
#include <memory>
#include <vector>

class SourceFile;

// What a library's store writes, held as objects rather than bytes: the header fields, the chunks
// the library keeps as items, every voice and waveform slot, and what the library's file lost.
// Sample data that still lies in a file stays a reference there, so a state of a library of a
// gigabyte costs the objects' fields, not the samples; the objects unchanged since the state taken
// before are shared with it, so a step of an undo history costs what the edit changed.
//
// A state never changes once taken. One thread may store it while another puts it back into a
// library or takes the next one from it.
class MOTIF_EXPORT X0vState {
public:
    // The library as it is now; `previous` is a state taken from it before, whose objects the new
    // state shares where they are unchanged.
    static std::shared_ptr<const X0vState> take(const X0V_Document& library,
                                                const X0vState* previous = nullptr);
    // Makes the library store exactly the bytes it stored when the state was taken.
    void restore(X0V_Document& library) const;
    // Stores the state to a temporary file beside `path`, flushed and renamed over `path`; the
    // empty text on success. Reads nothing but the state, so it runs on a worker thread while the
    // window edits the library the state came from.
    QString store(const QString& path) const;
    // Whether the states store the same bytes, without reading a sample; false where telling
    // would need one.
    bool sameAs(const X0vState& other) const;
    // The files the state's samples and items still lie in.
    const std::vector<std::shared_ptr<SourceFile>>& sources() const { return sources_; }

private:
    template <class Object>
    struct SlotBank {
        int id = 0;
        bool tracking = false;
        std::vector<std::shared_ptr<const Object>> objects;
    };
    struct Chunk {
        QString name;
        int offset = 0;
        int count = 0;
        std::vector<XS_Item> items;
    };
    void addSource(const LazyBuffer& bytes);

    int type_ = -1;
    QString signature_;
    QString version_;
    int catalogueSize_ = 0;
    std::vector<Chunk> chunks_;
    std::vector<SlotBank<XS_Voice>> voices_;
    std::vector<SlotBank<XS_Waveform>> waves_;
    DamageList damage_;
    std::vector<std::shared_ptr<SourceFile>> sources_;
};
