/* Identifiers of the program's own resources; read by the resource script and the code. */
#ifndef OMBREVANE_APP_RESOURCES_H
#define OMBREVANE_APP_RESOURCES_H

/* The first icon group: Explorer, the Start menu and the About box show it. */
#define OMBREVANE_ICON 1

#endif
