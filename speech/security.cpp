// Security attributes that grant everyone full access, for the run mutex
// on the Windows NT family; elsewhere the mutex gets default security.
#include "speech/globals.h"

#define PLATFORM_NT 2

static DWORD GetPlatformID(void) {
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) ? info.dwPlatformId : 0;
}

// The world SID, S-1-1-0.
static PSID CreateGrantAllSID(void) {
    SID_IDENTIFIER_AUTHORITY world = {{0, 0, 0, 0, 0, 1}};
    PSID sid = NULL;
    if (!AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, &sid))
        return NULL;
    if (!IsValidSid(sid)) {
        FreeSid(sid);
        return NULL;
    }
    return sid;
}

static PACL CreateGrantAllACL(void) {
    PSID sid = CreateGrantAllSID();
    if (sid == NULL)
        return NULL;
    DWORD size = GetLengthSid(sid) + 16;
    PACL acl = (PACL)GlobalAlloc(GMEM_FIXED, size);
    if (acl != NULL &&
        !(InitializeAcl(acl, size, ACL_REVISION) &&
          AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) && IsValidAcl(acl))) {
        GlobalFree(acl);
        acl = NULL;
    }
    FreeSid(sid);
    return acl;
}

static PSECURITY_DESCRIPTOR CreateGrantAllSD(void) {
    PACL acl = CreateGrantAllACL();
    if (acl == NULL)
        return NULL;
    PSECURITY_DESCRIPTOR sd =
        (PSECURITY_DESCRIPTOR)GlobalAlloc(GMEM_FIXED, SECURITY_DESCRIPTOR_MIN_LENGTH);
    if (sd != NULL &&
        !(InitializeSecurityDescriptor(sd, SECURITY_DESCRIPTOR_REVISION) &&
          SetSecurityDescriptorDacl(sd, TRUE, acl, FALSE) && IsValidSecurityDescriptor(sd))) {
        GlobalFree(sd);
        sd = NULL;
    }
    if (sd == NULL)
        GlobalFree(acl);
    return sd;
}

// Frees a descriptor made by CreateGrantAllSD with its DACL.
static void FreeGrantAllSD(PSECURITY_DESCRIPTOR sd) {
    PACL acl = NULL;
    BOOL present = FALSE, defaulted = FALSE;
    if (GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted) && present && acl != NULL)
        GlobalFree(acl);
    GlobalFree(sd);
}

LPSECURITY_ATTRIBUTES CreateGrantAllSecAttr(void) {
    if (GetPlatformID() != PLATFORM_NT)
        return NULL;
    PSECURITY_DESCRIPTOR sd = CreateGrantAllSD();
    if (sd == NULL)
        return NULL;
    LPSECURITY_ATTRIBUTES attributes =
        (LPSECURITY_ATTRIBUTES)GlobalAlloc(GMEM_FIXED, sizeof(SECURITY_ATTRIBUTES));
    if (attributes == NULL) {
        FreeGrantAllSD(sd);
        return NULL;
    }
    attributes->nLength = sizeof(SECURITY_ATTRIBUTES);
    attributes->lpSecurityDescriptor = sd;
    attributes->bInheritHandle = FALSE;
    return attributes;
}

void DeleteGrantAllSecAttr(LPSECURITY_ATTRIBUTES attributes) {
    if (attributes == NULL)
        return;
    if (attributes->lpSecurityDescriptor != NULL)
        FreeGrantAllSD(attributes->lpSecurityDescriptor);
    GlobalFree(attributes);
}
