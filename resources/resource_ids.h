/* Numbers of the resources and of the controls the code addresses: included
   by the resource script and the code alike. */
#ifndef KESTROW_RESOURCE_IDS_H
#define KESTROW_RESOURCE_IDS_H

#define kProgramIcon 500
#define kActionDialog 1600
#define kChoicePromptDialog 1601
#define kAboutDialog 1025

/* Choice prompt: the message box and the hidden progress line. */
#define kPromptMessageId 1601
#define kPromptProgressId 850

/* About box: the texts filled in when it opens. */
#define kAboutTitleId 1101
#define kAboutVersionId 1102
#define kAboutProgramFolderId 1103
#define kAboutDataFolderId 1104

#define kSwitchBitmapName "SwCBMP"
#define kSwitchHotBitmapName "SwHBMP"

#endif
