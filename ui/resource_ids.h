/* Resource ids of vexmora.exe, shared by app/vexmora.rc and the code. */
#ifndef VEXMORA_UI_RESOURCE_IDS_H
#define VEXMORA_UI_RESOURCE_IDS_H

#define VEXMORA_ICON 1
/* A manifest id the loader never applies by itself. */
#define VEXMORA_CONTROLS_MANIFEST 3
#define VEXMORA_BAR_PICTURE 101
#define VEXMORA_PANEL_PICTURE 102
#define VEXMORA_PANEL_OUTLINE 103

#endif
