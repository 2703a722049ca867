// String lists: TStrings, the interface every list of lines offers (each line with an untyped
// object pointer that the list does not own), and TStringList, the one that keeps them in memory,
// optionally sorted.
#pragma once

#include "framework/core/Method.h"
#include "framework/core/Object.h"

#include <string>
#include <vector>

class TStream;

// What a sorted TStringList does with a string it already holds.
enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
    DECLARE_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    virtual int Count() const = 0;
    // Index errors raise EListError "List index out of bounds (N)".
    std::string Strings(int Index) const { return Get(Index); }
    std::string operator[](int Index) const { return Get(Index); }
    virtual void Put(int Index, const std::string& S);
    TObject* Objects(int Index) const { return GetObject(Index); }
    virtual void PutObject(int Index, TObject* AObject);

    // Add returns the index of the new line (in a sorted list, where it went; a string added
    // again under dupAccept goes after its equals).
    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    // Moves a line (and its object) so that it ends up at NewIndex.
    virtual void Move(int CurIndex, int NewIndex);
    void AddStrings(const TStrings& Strings);

    // Searches compare without regard to ASCII case unless CaseSensitive; -1 when not found.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    bool CaseSensitive() const { return FCaseSensitive; }
    virtual void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

    // "Name=Value" lines: the part before the first '=' ("" when there is none) and the part after.
    std::string Names(int Index) const;
    std::string ValueFromIndex(int Index) const;
    // The value of the first line with that name; "" when there is none.
    std::string Values(const std::string& Name) const;
    // Replaces the first line with that name, or adds one; an empty value deletes the line.
    void SetValue(const std::string& Name, const std::string& Value);

    // The lines, each followed by CR LF.
    std::string Text() const;
    // Splits at CR LF, a lone CR or a lone LF; a final line break adds no empty line.
    void SetText(const std::string& Value);
    // The lines separated by commas; a line with a blank, control character, comma or quote is
    // quoted with '"', quotes in it doubled.
    std::string CommaText() const;
    // Splits at commas and blanks outside quotes; "" quotes a line that keeps them.
    void SetCommaText(const std::string& Value);

    // Same lines in the same order, compared with case (objects are not compared).
    bool Equals(const TStrings& Strings) const;
    // From another TStrings: its lines and objects replace ours. Other sources raise EConvertError.
    void Assign(TPersistent* Source) override;

    // The bytes from the stream's position to its end, as text. Saving writes Text().
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream) const;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

    // Between BeginUpdate and the matching EndUpdate no change events fire; the last EndUpdate
    // fires OnChange once.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // OnChanging fires before a change and OnChange after it, with the list as Sender.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    const TNotifyEvent& OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = Value; }

protected:
    virtual std::string Get(int Index) const = 0;
    virtual TObject* GetObject(int Index) const;
    // Called with true by the first BeginUpdate and with false by the last EndUpdate.
    virtual void SetUpdateState(bool Updating);
    // <0, 0 or >0, with or without case as CaseSensitive says.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    // Fire the events unless an update is running.
    void Changing();
    void Changed();
    [[noreturn]] static void IndexError(int Index);

private:
    bool FCaseSensitive = false;
    int FUpdateCount = 0;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
};

class TStringList : public TStrings {
    DECLARE_CLASS(TStringList, TStrings)
public:
    TStringList() = default;

    int Count() const override { return static_cast<int>(FItems.size()); }
    // Put and Insert raise EListError "Operation not allowed on sorted list" while Sorted.
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    // Allowed while Sorted (the order is then the caller's business), as in the classic framework.
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;
    void SetCaseSensitive(bool Value) override;

    // Binary search of a sorted list: true when found; Index is the first match, or where S
    // would go. Only meaningful while Sorted.
    bool Find(const std::string& S, int& Index) const;
    // Sorts the lines (a stable sort, so equal strings keep their order).
    virtual void Sort();
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Only consulted while Sorted: dupError raises EListError "String list does not allow duplicates".
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

protected:
    std::string Get(int Index) const override;
    TObject* GetObject(int Index) const override;

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };

    void CheckIndex(int Index) const;
    void InsertItem(int Index, const std::string& S, TObject* AObject);

    std::vector<TStringItem> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
};
