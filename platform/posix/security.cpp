// Security identifiers, access-control lists and absolute security
// descriptors: built and checked in Windows' layouts so that code which
// prepares them runs and frees them cleanly. Nothing enforces them.
#include "platform/posix/errors.h"

#include <cstdlib>
#include <cstring>

namespace {

using posix::failWith;

constexpr BYTE kMaxSubAuthorities = 8; // what AllocateAndInitializeSid takes

SID *asSid(PSID sid) {
    return static_cast<SID *>(sid);
}

DWORD sidLength(BYTE subAuthorities) {
    return DWORD(offsetof(SID, SubAuthority) + sizeof(DWORD) * subAuthorities);
}

bool validRevision(DWORD aclRevision) {
    return aclRevision == ACL_REVISION || aclRevision == ACL_REVISION_DS;
}

// The offset of the first byte after the ACL's entries, or 0 when an
// entry does not fit in the ACL.
DWORD endOfEntries(PACL acl) {
    const BYTE *base = reinterpret_cast<const BYTE *>(acl);
    DWORD offset = sizeof(ACL);
    for (WORD i = 0; i < acl->AceCount; ++i) {
        if (offset + sizeof(ACE_HEADER) > acl->AclSize)
            return 0;
        ACE_HEADER header;
        std::memcpy(&header, base + offset, sizeof header);
        if (header.AceSize < sizeof(ACE_HEADER) || header.AceSize % sizeof(DWORD) != 0 ||
            offset + header.AceSize > acl->AclSize)
            return 0;
        offset += header.AceSize;
    }
    return offset;
}

SECURITY_DESCRIPTOR *absoluteDescriptor(PSECURITY_DESCRIPTOR descriptor) {
    auto *sd = static_cast<SECURITY_DESCRIPTOR *>(descriptor);
    if (!sd || sd->Revision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return nullptr;
    }
    if (sd->Control & SE_SELF_RELATIVE) {
        SetLastError(ERROR_INVALID_SECURITY_DESCR); // never made here
        return nullptr;
    }
    return sd;
}

} // namespace

BOOL WINAPI AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE subAuthorityCount,
                                     DWORD subAuthority0, DWORD subAuthority1, DWORD subAuthority2,
                                     DWORD subAuthority3, DWORD subAuthority4, DWORD subAuthority5,
                                     DWORD subAuthority6, DWORD subAuthority7, PSID *sid) {
    if (!authority || !sid || subAuthorityCount > kMaxSubAuthorities)
        return failWith(ERROR_INVALID_PARAMETER);
    const DWORD values[kMaxSubAuthorities] = {subAuthority0, subAuthority1, subAuthority2,
                                              subAuthority3, subAuthority4, subAuthority5,
                                              subAuthority6, subAuthority7};
    auto *made = static_cast<SID *>(std::calloc(1, sidLength(subAuthorityCount)));
    if (!made)
        return failWith(ERROR_NOT_ENOUGH_MEMORY);
    made->Revision = SID_REVISION;
    made->SubAuthorityCount = subAuthorityCount;
    made->IdentifierAuthority = *authority;
    std::memcpy(made->SubAuthority, values, sizeof(DWORD) * subAuthorityCount);
    *sid = made;
    return TRUE;
}

PVOID WINAPI FreeSid(PSID sid) {
    std::free(sid);
    return nullptr;
}

BOOL WINAPI IsValidSid(PSID sid) {
    return sid && asSid(sid)->Revision == SID_REVISION &&
           asSid(sid)->SubAuthorityCount <= SID_MAX_SUB_AUTHORITIES;
}

DWORD WINAPI GetLengthSid(PSID sid) {
    return sidLength(asSid(sid)->SubAuthorityCount);
}

BOOL WINAPI InitializeAcl(PACL acl, DWORD length, DWORD revision) {
    if (!acl || !validRevision(revision) || length > 0xFFFF)
        return failWith(ERROR_INVALID_PARAMETER);
    if (length < sizeof(ACL))
        return failWith(ERROR_INSUFFICIENT_BUFFER);
    *acl = ACL{};
    acl->AclRevision = BYTE(revision);
    acl->AclSize = WORD(length & ~DWORD(3)); // entries are DWORD-aligned
    return TRUE;
}

BOOL WINAPI IsValidAcl(PACL acl) {
    return acl && validRevision(acl->AclRevision) && acl->AclSize >= sizeof(ACL) &&
           endOfEntries(acl) != 0;
}

BOOL WINAPI AddAccessAllowedAce(PACL acl, DWORD revision, DWORD access, PSID sid) {
    if (!validRevision(revision))
        return failWith(ERROR_UNKNOWN_REVISION);
    if (!IsValidAcl(acl))
        return failWith(ERROR_INVALID_ACL);
    if (!IsValidSid(sid))
        return failWith(ERROR_INVALID_SID);
    DWORD length = GetLengthSid(sid);
    DWORD size = offsetof(ACCESS_ALLOWED_ACE, SidStart) + length;
    DWORD offset = endOfEntries(acl);
    if (offset + size > acl->AclSize)
        return failWith(ERROR_ALLOTTED_SPACE_EXCEEDED);
    BYTE *entry = reinterpret_cast<BYTE *>(acl) + offset;
    ACCESS_ALLOWED_ACE ace = {};
    ace.Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
    ace.Header.AceSize = WORD(size);
    ace.Mask = access;
    std::memcpy(entry, &ace, offsetof(ACCESS_ALLOWED_ACE, SidStart));
    std::memcpy(entry + offsetof(ACCESS_ALLOWED_ACE, SidStart), sid, length);
    ++acl->AceCount;
    if (revision > acl->AclRevision)
        acl->AclRevision = BYTE(revision);
    return TRUE;
}

BOOL WINAPI InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) {
    if (revision != SECURITY_DESCRIPTOR_REVISION)
        return failWith(ERROR_UNKNOWN_REVISION);
    if (!descriptor)
        return failWith(ERROR_INVALID_PARAMETER);
    auto *sd = static_cast<SECURITY_DESCRIPTOR *>(descriptor);
    *sd = SECURITY_DESCRIPTOR{};
    sd->Revision = SECURITY_DESCRIPTOR_REVISION;
    return TRUE;
}

BOOL WINAPI SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                                      BOOL defaulted) {
    SECURITY_DESCRIPTOR *sd = absoluteDescriptor(descriptor);
    if (!sd)
        return FALSE;
    sd->Control &= ~(SE_DACL_PRESENT | SE_DACL_DEFAULTED);
    sd->Dacl = present ? dacl : nullptr;
    if (present)
        sd->Control |= SE_DACL_PRESENT | (defaulted ? SE_DACL_DEFAULTED : 0);
    return TRUE;
}

BOOL WINAPI GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present, PACL *dacl,
                                      LPBOOL defaulted) {
    SECURITY_DESCRIPTOR *sd = absoluteDescriptor(descriptor);
    if (!sd || !present || !dacl || !defaulted)
        return sd ? failWith(ERROR_INVALID_PARAMETER) : FALSE;
    *present = (sd->Control & SE_DACL_PRESENT) != 0;
    if (*present) { // otherwise the other results are left alone, as on Windows
        *dacl = sd->Dacl;
        *defaulted = (sd->Control & SE_DACL_DEFAULTED) != 0;
    }
    return TRUE;
}

BOOL WINAPI IsValidSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR *sd = absoluteDescriptor(descriptor);
    if (!sd)
        return FALSE;
    bool valid = (!sd->Owner || IsValidSid(sd->Owner)) && (!sd->Group || IsValidSid(sd->Group)) &&
                 (!(sd->Control & SE_DACL_PRESENT) || !sd->Dacl || IsValidAcl(sd->Dacl));
    return valid ? TRUE : failWith(ERROR_INVALID_SECURITY_DESCR);
}
