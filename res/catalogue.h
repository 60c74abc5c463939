/* Function catalogue of the external: string numbers 13005..13024, one per
   catalogue position (position = string number - 13004). Read by the resource
   script and, in the native build, by the stand-in for the string table.
   Plain C preprocessor only: windres includes this file. */
#ifndef VANDU_CATALOGUE_H
#define VANDU_CATALOGUE_H

#define VANDU_CAT_FIRST 13005
#define VANDU_CAT_LAST 13024

#define VANDU_CAT_13005 "Vandu():13005999"
#define VANDU_CAT_13006 "Vandu.About():13005000"
#define VANDU_CAT_13007 "Vandu.PutListInList(listName,OmnisList,fieldName,startCol,endCol[,f2,s2,e2..6]):13005001"
#define VANDU_CAT_13008 "Vandu.RemoveLine(listName, lineText):13005002"
#define VANDU_CAT_13009 "Vandu.EditLine(listName, lineText):13005003"
#define VANDU_CAT_13010 "Vandu.AddLine(listName, lineText):13005004"
#define VANDU_CAT_13011 "Vandu.SortList(listName, sortColumn):13005005"
#define VANDU_CAT_13012 "Vandu.SetSelection(listName, searchText [,startCol [,exactFlag]]):13005006"
#define VANDU_CAT_13013 "Vandu.UnloadList(listName):13005007"
#define VANDU_CAT_13014 "Vandu.LoadList(listName,filePath,sortCol,rsnCol[,nLinesFld,lineSzFld]):13005008"
#define VANDU_CAT_13015 "Vandu lists~=VanduLineCount(listName):13005020"
#define VANDU_CAT_13016 "=VanduLineSize(listName):13005021"
#define VANDU_CAT_13017 "=VanduSortCol(listName):13005022"
#define VANDU_CAT_13018 "=VanduModDate(listName):13005023"
#define VANDU_CAT_13019 "=VanduModTime(listName):13005024"
#define VANDU_CAT_13020 "=VanduSelectedLine(listName):13005025"
#define VANDU_CAT_13021 "=VanduLineText(listName,lineNum,startCol,endCol):13005026"
#define VANDU_CAT_13022 "=VanduIsCurrent(listName):13005027"
#define VANDU_CAT_13023 "Vandu.Test1(listName,listField):13005028"
#define VANDU_CAT_13024 "Vandu.Test2(listName,listField):13005029"

/* All entries in order, for code that walks the catalogue. */
#define VANDU_CATALOGUE_ENTRIES                                                  \
    VANDU_CAT_13005, VANDU_CAT_13006, VANDU_CAT_13007, VANDU_CAT_13008,          \
        VANDU_CAT_13009, VANDU_CAT_13010, VANDU_CAT_13011, VANDU_CAT_13012,      \
        VANDU_CAT_13013, VANDU_CAT_13014, VANDU_CAT_13015, VANDU_CAT_13016,      \
        VANDU_CAT_13017, VANDU_CAT_13018, VANDU_CAT_13019, VANDU_CAT_13020,      \
        VANDU_CAT_13021, VANDU_CAT_13022, VANDU_CAT_13023, VANDU_CAT_13024

#endif
