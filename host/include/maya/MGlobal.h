#pragma once
// Embedded host: process-wide host state (selection lists and messages).
#include <maya/MApiNamespace.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MGlobal {
public:
    static MStatus getActiveSelectionList(MSelectionList& dest, bool orderedSelectionIfAvailable = false);
    // The soft selection. When there is none, the active selection (without
    // weights) when defaultToActiveSelection, else an empty selection.
    static MStatus getRichSelection(MRichSelection& dest, bool defaultToActiveSelection = true);
    static MStatus getHiliteList(MSelectionList& dest);

    static void displayInfo(const MString& theMessage);
    static void displayWarning(const MString& theWarning);
    static void displayError(const MString& theError);

private:
    MGlobal();
};
