// A document that other programs can embed: the OLE object a container holds (its
// site, verbs, extent, storage and pictures), and the item that draws the document for
// the container. The object lives as long as the container holds it; when it goes, the
// document closes.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "classlib/doc.h"

class CArchive;
class CDC;
class COleIPFrameWnd;
class COleServerItem;
class ServerObject;

class COleServerDoc : public CDocument {
    DECLARE_DYNAMIC(COleServerDoc)
public:
    COleServerDoc();
    ~COleServerDoc() override;

    // The item that stands for the whole document in its container.
    virtual COleServerItem* OnGetEmbeddedItem() = 0;
    COleServerItem* GetEmbeddedItem();
    // The native data: the document's own bytes in the container's storage.
    virtual void Serialize(CArchive& ar);
    // The container moved or clipped the object while it is active in place.
    virtual void OnSetItemRects(const RECT* position, const RECT* clip);
    // The container's zoom of the object (1:1 unless it is shown in place at another size).
    bool GetZoomFactor(SIZE* numerator, SIZE* denominator) const;
    // The user resized the object in place to this rectangle of the container's window:
    // the item takes the size at the present zoom and the container is asked to move the
    // object. False, and the item's size as it was, when the container did not.
    bool RequestPositionChange(const RECT& position);

    bool IsEmbedded() const { return m_bEmbedded; }
    bool IsInPlaceActive() const { return m_pInPlaceFrame != nullptr; }
    // The document's view went into or out of a container's window (the program's
    // document activation follows).
    virtual void OnInPlaceActivation(bool active);
    // The container is told the object changed: its picture is fetched again and the
    // container saves the object (File > Update).
    void NotifyChanged();
    bool UpdateContainer();
    void OnCloseDocument() override;
    HMENU GetDefaultMenu() override;
    HACCEL GetDefaultAccelerator() override;

    // The object as the container holds it, with one reference for the caller.
    IUnknown* GetServerObject();

    bool m_bEmbedded = false;
    // The object is shown fully open in a frame of this program.
    bool m_bOpen = false;
    IOleClientSite* m_pClientSite = nullptr;
    RECT m_itemPosition{};
    COleIPFrameWnd* m_pInPlaceFrame = nullptr;

protected:
    void OnUpdateDocument();
    // Writes the document to a file of the user's choice; the embedding keeps its own
    // data, its name and its container's claim on the changes.
    void OnFileSaveCopyAs();
    DECLARE_MESSAGE_MAP()

private:
    friend class ServerObject;
    bool ShowOpen();
    void HideOpen();
    // In the container's window, with the bars and menu (uiActivate) or without.
    bool ActivateInPlace(IOleClientSite* site, bool uiActivate);
    bool ActivateUserInterface();
    void DeactivateUserInterface();
    void DeactivateInPlace();
    void DropServerObject();

    COleServerItem* item_ = nullptr;
    ServerObject* object_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    bool uiActive_ = false;
    int ownMenuCount_ = 0;
};

class COleServerItem : public CCmdTarget {
    DECLARE_DYNAMIC(COleServerItem)
public:
    // autoDelete: the document deletes the item with itself.
    COleServerItem(COleServerDoc* doc, bool autoDelete);
    ~COleServerItem() override;

    COleServerDoc* GetDocument() const { return doc_; }
    // The document's native data when this is its embedded item.
    virtual void Serialize(CArchive& ar);
    // Draws the item into a metafile DC; size is the extent in the DC's logical units.
    virtual bool OnDraw(CDC* dc, SIZE& size) = 0;
    // The item's size in HIMETRIC for an aspect; false when it has none.
    virtual bool OnGetExtent(DWORD aspect, SIZE& size);
    // Gives the item a new size in HIMETRIC; false when it keeps its own.
    virtual bool OnSetExtent(DWORD aspect, const SIZE& size);
    // Puts the item's pictures on the clipboard (with a link source when asked).
    bool CopyToClipboard(bool includeLink);

    // The item's picture in the two metafile forms containers take.
    HENHMETAFILE MakeEnhancedMetafile();
    HMETAFILEPICT MakeMetafilePicture();

    bool m_bAutoDelete;

private:
    COleServerDoc* doc_;
};
