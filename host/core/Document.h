#pragma once

#include <QString>

class Archive;

// The base of the file documents. The host drives a document through loadFile and storeFile;
// a derived class reads and writes its format in loadDocument and storeDocument and reports a
// format it does not accept through setErrorText ("Unknown format", "Illegal file").
class Document {
public:
    Document() = default;
    virtual ~Document() = default;
    Document(const Document&) = default;
    Document& operator=(const Document&) = default;

    // Reads the whole file, calls loadDocument and, when that succeeds, validateDocument.
    // A file that cannot be read gives an error text naming the path.
    virtual bool loadFile(const QString& path);
    // Writes the document with storeDocument to path.tmp as it goes and then replaces the file in
    // one step, so that a failure leaves the old file as it was.
    virtual bool storeFile(const QString& path);
    virtual void clearDocument() {}
    // Makes a new, empty document of the given type; the base clears the document.
    virtual void newDocument(int type);
    // Repairs what a loaded file may hold inconsistently; the base has nothing to repair.
    virtual void validateDocument() {}
    // The base knows no format: it sets "Unknown format" and answers false.
    virtual bool loadDocument(Archive& archive);
    virtual bool storeDocument(Archive& archive);
    virtual double estimatedSizeMB() const { return 0.0; }

    QString errorText() const { return error_; }

protected:
    void setErrorText(const QString& text) { error_ = text; }

private:
    QString error_;
};
